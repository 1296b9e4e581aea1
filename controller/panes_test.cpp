#include "panes.h"

#include "station_controller_fakes.h"

#include <gtest/gtest.h>

TEST(Pane, RepeatsOfTheLastLineAreDroppedEvenAcrossAClear) {
    FakeShell view;
    Pane progress(view, PaneId::Progress), result(view, PaneId::Result);
    progress.Append(u"");
    progress.Append(u"a");
    progress.Append(u"a");
    result.Append(u"a");
    progress.Append(u"b");
    progress.Append(u"a");
    EXPECT_EQ(view.progress, u"a\r\nb\r\na\r\n");
    EXPECT_EQ(view.result, u"a\r\n") << "each pane has its own memory";
    progress.Clear();
    progress.Append(u"a");
    EXPECT_EQ(view.progress, u"");
    progress.Append(u"A");
    EXPECT_EQ(view.progress, u"A\r\n");
}
