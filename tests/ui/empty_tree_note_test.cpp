// The note of an empty tree watches the tree's viewport; the viewport's last events come while
// the tree is being destroyed, and the note must not ask the half-destroyed tree anything then
// (the sanitizer builds report such a call as undefined behaviour).
#include "ui/empty_tree_note.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTreeWidget>

namespace tern::testing {
namespace {

TEST(EmptyTreeNoteTest, FollowsThePaintedTreeAndGoesWithItWhicheverWayItIsDestroyed) {
  for (const bool withItsWindow : {false, true}) {
    SCOPED_TRACE(withItsWindow ? "the window destroyed" : "the tree destroyed");
    auto* window = new QWidget;
    auto* tree = new QTreeWidget(window);
    auto* root = new QTreeWidgetItem(tree, {QStringLiteral("DWD")});
    new EmptyTreeNote(tree);
    auto* note = tree->viewport()->findChild<QLabel*>("EmptyTreeNote");
    ASSERT_NE(note, nullptr);
    window->show();
    QTest::qWait(20);
    EXPECT_TRUE(note->isVisible());

    new QTreeWidgetItem(root, {QStringLiteral("FQEN50")});
    tree->viewport()->repaint();
    EXPECT_FALSE(note->isVisible()) << "a paint of the viewport updates the note";

    if (!withItsWindow) delete tree;
    delete window;
  }
}

}  // namespace
}  // namespace tern::testing
