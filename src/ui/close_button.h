// The "Schließen" button that the small fixed-text dialogs share: the default button, it
// accepts the dialog, and it sits centred in a row of its own under the content.
#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace tern {

// Made as a child of `dialog`, named "SchliessenButton".
QPushButton* makeCloseButton(QDialog* dialog);
// A row holding `button` in its middle.
QHBoxLayout* centredRow(QPushButton* button);

}  // namespace tern
