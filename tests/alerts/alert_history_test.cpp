#include "alerts/alert_history.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

constexpr CivilTime kAt{2026, 12, 8, 18, 5, 9, 0};

// One step: an alert arrives, or (kind empty) the user opens the list, or (kind empty, text
// "ruhig") the barometer's level goes back to calm.
struct Step {
  std::optional<AlertKind> kind;
  const char* text = "";
};

struct Case {
  const char* name;
  std::vector<Step> steps;
  std::string panel;
  std::size_t entries;
  std::size_t unseen;
};

TEST(AlertHistory, PanelShowsTheHighestRankedUnseenWithTheCountOfTheOthers) {
  const AlertKind P = AlertKind::Pressure;
  const AlertKind N = AlertKind::Navtex;
  const AlertKind F = AlertKind::Problem;
  const std::vector<Case> cases{
      {"nothing yet", {}, "", 0, 0},
      {"one", {{N, "B1"}}, "B1", 1, 1},
      {"pressure before two warnings of one read-out",
       {{P, "fällt"}, {N, "B1"}, {N, "B2"}},
       "fällt  +2",
       3,
       3},
      {"newest of the same rank", {{N, "B1"}, {N, "B2"}}, "B2  +1", 2, 2},
      {"a warning outranks a problem", {{N, "B1"}, {F, "Plotter"}}, "B1  +1", 2, 2},
      {"all seen: the newest, no count", {{N, "B1"}, {N, "B2"}, {}}, "B2", 2, 0},
      {"all seen: a fall in force before a newer warning",
       {{P, "fällt"}, {N, "B1"}, {}},
       "fällt",
       2,
       0},
      {"a fall in force stays first after the list was opened",
       {{P, "fällt"}, {}, {N, "B1"}},
       "fällt  +1",
       2,
       1},
      {"a warning after the fall ended is shown",
       {{P, "fällt"}, {}, {std::nullopt, "ruhig"}, {N, "B1"}},
       "B1",
       2,
       1},
      {"the end of a fall leaves an unseen fall first among the unseen",
       {{N, "B1"}, {P, "fällt"}, {std::nullopt, "ruhig"}},
       "fällt  +1",
       2,
       2},
      {"a newer fall ends the older", {{P, "Starkwind"}, {}, {P, "Sturm"}}, "Sturm", 2, 1},
      {"a problem is kept once per text",
       {{F, "Plotter"}, {}, {F, "Plotter"}, {F, "Server"}},
       "Server",
       2,
       1},
      {"an alert text may come again", {{N, "B1"}, {N, "B1"}}, "B1  +1", 2, 2},
  };
  for (const Case& c : cases) {
    AlertHistory history;
    for (const Step& step : c.steps) {
      if (step.kind) {
        history.Add(*step.kind, step.text, kAt);
      } else if (std::string_view(step.text) == "ruhig") {
        history.EndPressureFall();
      } else {
        history.MarkAllSeen();
      }
    }
    EXPECT_EQ(alertPanelText(history), c.panel) << c.name;
    EXPECT_EQ(history.Entries().size(), c.entries) << c.name;
    EXPECT_EQ(history.Unseen(), c.unseen) << c.name;
    // The web page's list starts with the entry the panel shows.
    const std::vector<AlertEntry> ranked = rankedAlerts(history.Entries());
    ASSERT_EQ(ranked.size(), c.entries) << c.name;
    if (!ranked.empty()) {
      EXPECT_EQ(ranked.front().text, history.Shown()->text) << c.name;
    }
  }
}

TEST(AlertHistory, RankedListPutsTheUnseenByKindBeforeTheSeenNewestFirst) {
  AlertHistory history;
  history.Add(AlertKind::Pressure, "P-alt", kAt);
  history.Add(AlertKind::Navtex, "N-alt", kAt);
  history.MarkAllSeen();
  history.Add(AlertKind::Problem, "Plotter", kAt);
  history.Add(AlertKind::Navtex, "N1", kAt);
  history.Add(AlertKind::Pressure, "P1", kAt);
  history.Add(AlertKind::Navtex, "N2", kAt);
  std::vector<std::string> order;
  for (const AlertEntry& e : rankedAlerts(history.Entries())) order.push_back(e.text);
  EXPECT_EQ(order, (std::vector<std::string>{"P1", "N2", "N1", "Plotter", "N-alt", "P-alt"}));
}

TEST(AlertHistory, EntriesAreNewestFirstWithTimeAndKind) {
  AlertHistory history;
  history.Add(AlertKind::Pressure, "fällt", kAt);
  history.Add(AlertKind::Navtex, "B1", {2026, 12, 8, 18, 6, 0, 0});
  ASSERT_EQ(history.Entries().size(), 2u);
  EXPECT_EQ(history.Entries()[0].text, "B1");
  EXPECT_EQ(alertTimeText(history.Entries()[0].time), "08.12.2026 18:06 UTC");
  EXPECT_EQ(alertKindName(history.Entries()[1].kind), "Luftdruck");

  // A service that runs for months keeps the newest, the oldest go.
  for (std::size_t n = 0; n < AlertHistory::kKept; ++n)
    history.Add(AlertKind::Navtex, std::string("N").append(std::to_string(n)), kAt);
  ASSERT_EQ(history.Entries().size(), AlertHistory::kKept);
  EXPECT_EQ(history.Entries().front().text,
            std::string("N").append(std::to_string(AlertHistory::kKept - 1)));
  EXPECT_EQ(history.Entries().back().text, "N0");
}

}  // namespace
}  // namespace tern
