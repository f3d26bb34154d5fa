// Event order and the all-or-nothing rule of every table operation.

#include "tests/dataset/dataset_fixtures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ctb;
using ctb::test::Abort;
using ctb::test::EventLog;
using Events = std::vector<std::string>;

namespace {

// A, B, C with the cursor on B.
void threeRows(ClientDataSet& t) {
    test::declareSimple(t);
    t.createDataSet();
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("Alfa"), 1);
    test::addSimple(t, QStringLiteral("B"), QStringLiteral("Beta"), 2);
    test::addSimple(t, QStringLiteral("C"), QStringLiteral("Gama"), 3);
    t.setRecNo(2);
}

QString code(ClientDataSet& t) {
    return t.fieldByName(u"CODE").asString();
}

struct OrderCase {
    const char* name;
    std::function<void(ClientDataSet&)> setup;  // after threeRows, before logging
    std::function<void(ClientDataSet&)> op;
    Events expected;
};

const Events kInsert = {"BeforeInsert", "BeforeScroll", "State:insert",
                        "OnNewRecord",  "AfterInsert",  "AfterScroll"};

std::vector<OrderCase> orderCases() {
    auto none = [](ClientDataSet&) {};
    auto editName = [](ClientDataSet& t) {
        t.edit();
        t.fieldByName(u"NAME").setAsString(QStringLiteral("Novo"));
    };
    auto appendName = [](ClientDataSet& t) {
        t.append();
        t.fieldByName(u"CODE").setAsString(QStringLiteral("D"));
    };
    Events postThenInsert = {"BeforePost", "State:browse", "AfterPost"};
    postThenInsert.insert(postThenInsert.end(), kInsert.begin(), kInsert.end());
    return {
        {"append", none, [](ClientDataSet& t) { t.append(); }, kInsert},
        {"insert", none, [](ClientDataSet& t) { t.insert(); }, kInsert},
        {"edit", none, [](ClientDataSet& t) { t.edit(); }, {"BeforeEdit", "State:edit", "AfterEdit"}},
        {"edit while editing does nothing", editName, [](ClientDataSet& t) { t.edit(); }, {}},
        {"post of an edit",
         editName,
         [](ClientDataSet& t) { t.post(); },
         {"BeforePost", "State:browse", "AfterPost"}},
        {"post of an insert",
         appendName,
         [](ClientDataSet& t) { t.post(); },
         {"BeforePost", "State:browse", "AfterPost"}},
        {"post while browsing does nothing", none, [](ClientDataSet& t) { t.post(); }, {}},
        {"cancel of an edit",
         editName,
         [](ClientDataSet& t) { t.cancel(); },
         {"BeforeCancel", "State:browse", "AfterCancel"}},
        {"cancel of an insert",
         appendName,
         [](ClientDataSet& t) { t.cancel(); },
         {"BeforeCancel", "BeforeScroll", "State:browse", "AfterCancel", "AfterScroll"}},
        {"cancel while browsing does nothing", none, [](ClientDataSet& t) { t.cancel(); }, {}},
        {"delete",
         none,
         [](ClientDataSet& t) { t.remove(); },
         {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {"delete while editing",
         editName,
         [](ClientDataSet& t) { t.remove(); },
         {"BeforeDelete", "BeforeScroll", "State:browse", "AfterDelete", "AfterScroll"}},
        {"delete while inserting cancels",
         appendName,
         [](ClientDataSet& t) { t.remove(); },
         {"BeforeCancel", "BeforeScroll", "State:browse", "AfterCancel", "AfterScroll"}},
        {"first", none, [](ClientDataSet& t) { t.first(); }, {"BeforeScroll", "AfterScroll"}},
        {"last", none, [](ClientDataSet& t) { t.last(); }, {"BeforeScroll", "AfterScroll"}},
        {"next", none, [](ClientDataSet& t) { t.next(); }, {"BeforeScroll", "AfterScroll"}},
        {"prior", none, [](ClientDataSet& t) { t.prior(); }, {"BeforeScroll", "AfterScroll"}},
        {"next on the last row",
         [](ClientDataSet& t) { t.setRecNo(3); },
         [](ClientDataSet& t) { t.next(); },
         {}},
        {"recno to another row",
         none,
         [](ClientDataSet& t) { t.setRecNo(1); },
         {"BeforeScroll", "AfterScroll"}},
        {"recno to the same row", none, [](ClientDataSet& t) { t.setRecNo(2); }, {}},
        {"locate found",
         none,
         [](ClientDataSet& t) { EXPECT_TRUE(t.locate(u"CODE", QStringLiteral("C"))); },
         {"BeforeScroll", "AfterScroll"}},
        {"locate not found",
         none,
         [](ClientDataSet& t) { EXPECT_FALSE(t.locate(u"CODE", QStringLiteral("Z"))); },
         {"BeforeScroll"}},
        {"first posts a modified edit",
         editName,
         [](ClientDataSet& t) { t.first(); },
         {"BeforePost", "State:browse", "AfterPost", "BeforeScroll", "AfterScroll"}},
        {"first cancels an unmodified edit",
         [](ClientDataSet& t) { t.edit(); },
         [](ClientDataSet& t) { t.first(); },
         {"BeforeCancel", "State:browse", "AfterCancel", "BeforeScroll", "AfterScroll"}},
        {"next posts a modified insert",
         [](ClientDataSet& t) {
             t.insert();
             t.fieldByName(u"CODE").setAsString(QStringLiteral("X"));
         },
         [](ClientDataSet& t) { t.next(); },
         {"BeforePost", "State:browse", "AfterPost", "BeforeScroll", "AfterScroll"}},
        {"locate posts a modified edit",
         editName,
         [](ClientDataSet& t) { EXPECT_TRUE(t.locate(u"CODE", QStringLiteral("A"))); },
         {"BeforePost", "State:browse", "AfterPost", "BeforeScroll", "AfterScroll"}},
        {"append posts a modified edit first", editName, [](ClientDataSet& t) { t.append(); },
         postThenInsert},
        {"empty the table", none, [](ClientDataSet& t) { t.emptyDataSet(); }, {"AfterScroll"}},
        {"load a packet", none, [](ClientDataSet& t) { t.setData(t.data()); }, {"AfterScroll"}},
        {"switch the filter on",
         [](ClientDataSet& t) { t.setFilter(QStringLiteral("CODE = 'B'")); },
         [](ClientDataSet& t) { t.setFiltered(true); },
         {"BeforeScroll", "AfterScroll"}},
    };
}

class EventOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(EventOrder, RunsTheClassicSequence) {
    ClientDataSet t(QStringLiteral("cdsTeste"));
    threeRows(t);
    GetParam().setup(t);
    EventLog log(t);
    GetParam().op(t);
    EXPECT_EQ(log.events, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Operations, EventOrder, ::testing::ValuesIn(orderCases()), [](const auto& info) {
    std::string n = info.param.name;
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
});

// ---- a Before handler that throws leaves everything as it was ----

struct AbortCase {
    const char* name;
    std::function<void(ClientDataSet&)> setup;
    std::function<void(ClientDataSet&)> op;
    std::string failing;
    DataSetState stateAfter;
    int viewRowsAfter;
    int recNoAfter;
    QString nameAfter;  // NAME read through the fields afterwards (the edit buffer when editing)
};

std::vector<AbortCase> abortCases() {
    auto none = [](ClientDataSet&) {};
    auto editName = [](ClientDataSet& t) {
        t.edit();
        t.fieldByName(u"NAME").setAsString(QStringLiteral("Digitado"));
    };
    auto appendName = [](ClientDataSet& t) {
        t.append();
        t.fieldByName(u"NAME").setAsString(QStringLiteral("Digitado"));
    };
    const QString beta = QStringLiteral("Beta");
    const QString typed = QStringLiteral("Digitado");
    using S = DataSetState;
    return {
        {"BeforeInsert", none, [](ClientDataSet& t) { t.append(); }, "BeforeInsert", S::Browse, 3, 2, beta},
        {"BeforeScroll of insert", none, [](ClientDataSet& t) { t.insert(); }, "BeforeScroll", S::Browse, 3,
         2, beta},
        {"OnNewRecord", none, [](ClientDataSet& t) { t.append(); }, "OnNewRecord", S::Browse, 3, 2, beta},
        {"BeforeEdit", none, [](ClientDataSet& t) { t.edit(); }, "BeforeEdit", S::Browse, 3, 2, beta},
        {"BeforePost of edit", editName, [](ClientDataSet& t) { t.post(); }, "BeforePost", S::Edit, 3, 2,
         typed},
        {"BeforePost of insert", appendName, [](ClientDataSet& t) { t.post(); }, "BeforePost", S::Insert, 4,
         4, typed},
        {"BeforeCancel of edit", editName, [](ClientDataSet& t) { t.cancel(); }, "BeforeCancel", S::Edit, 3,
         2, typed},
        {"BeforeCancel of insert", appendName, [](ClientDataSet& t) { t.cancel(); }, "BeforeCancel",
         S::Insert, 4, 4, typed},
        {"BeforeScroll of cancel insert", appendName, [](ClientDataSet& t) { t.cancel(); }, "BeforeScroll",
         S::Insert, 4, 4, typed},
        {"BeforeDelete", none, [](ClientDataSet& t) { t.remove(); }, "BeforeDelete", S::Browse, 3, 2, beta},
        {"BeforeDelete while editing", editName, [](ClientDataSet& t) { t.remove(); }, "BeforeDelete",
         S::Edit, 3, 2, typed},
        {"BeforeScroll of delete", none, [](ClientDataSet& t) { t.remove(); }, "BeforeScroll", S::Browse, 3,
         2, beta},
        {"BeforeScroll of next", none, [](ClientDataSet& t) { t.next(); }, "BeforeScroll", S::Browse, 3, 2,
         beta},
        {"BeforeScroll of first", none, [](ClientDataSet& t) { t.first(); }, "BeforeScroll", S::Browse, 3, 2,
         beta},
        {"BeforeScroll of locate", none,
         [](ClientDataSet& t) { (void)t.locate(u"CODE", QStringLiteral("A")); }, "BeforeScroll", S::Browse, 3,
         2, beta},
        {"BeforePost of a move", editName, [](ClientDataSet& t) { t.next(); }, "BeforePost", S::Edit, 3, 2,
         typed},
        {"BeforePost of a locate", editName,
         [](ClientDataSet& t) { (void)t.locate(u"CODE", QStringLiteral("A")); }, "BeforePost", S::Edit, 3, 2,
         typed},
        {"BeforePost of recno", editName, [](ClientDataSet& t) { t.setRecNo(1); }, "BeforePost", S::Edit, 3,
         2, typed},
        {"BeforePost of append", editName, [](ClientDataSet& t) { t.append(); }, "BeforePost", S::Edit, 3, 2,
         typed},
        {"BeforePost of a filter change", editName,
         [](ClientDataSet& t) {
             t.setFilter(QStringLiteral("CODE = 'A'"));
             t.setFiltered(true);
         },
         "BeforePost", S::Edit, 3, 2, typed},
    };
}

class AbortLeavesTableAsItWas : public ::testing::TestWithParam<AbortCase> {};

TEST_P(AbortLeavesTableAsItWas, StateDataAndCursorUnchanged) {
    const AbortCase& c = GetParam();
    ClientDataSet t(QStringLiteral("cdsTeste"));
    threeRows(t);
    c.setup(t);
    const DataPacket before = t.data();
    const int changes = t.changeCount();
    EventLog log(t);
    log.failOn(c.failing);
    EXPECT_THROW(c.op(t), Abort);
    EXPECT_EQ(t.state(), c.stateAfter);
    EXPECT_EQ(t.viewRowCount(), c.viewRowsAfter);
    EXPECT_EQ(t.recNo(), c.recNoAfter);
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), c.nameAfter);
    EXPECT_EQ(t.data().rows, before.rows);
    EXPECT_EQ(t.changeCount(), changes);
    EXPECT_FALSE(t.filtered());
    // Observers saw every row that came also go again.
    const auto count = [&](const std::string& prefix) {
        return std::count_if(log.observed.begin(), log.observed.end(),
                             [&](const std::string& o) { return o.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("inserted "), count("removed "));
}

INSTANTIATE_TEST_SUITE_P(BeforeHandlers, AbortLeavesTableAsItWas, ::testing::ValuesIn(abortCases()),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(AbortLeavesTableAsItWas, FailedPostKeepsValuesTheHandlerWroteAndPostsLater) {
    ClientDataSet t;
    threeRows(t);
    bool refuse = true;
    t.beforePost = [&](ClientDataSet& d) {
        d.fieldByName(u"VALUE").setAsFloat(99);  // filled before the failing check, kept on the pending row
        if (refuse)
            throw Abort();
    };
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("X"));
    EXPECT_THROW(t.post(), Abort);
    EXPECT_EQ(t.state(), DataSetState::Edit);
    EXPECT_DOUBLE_EQ(t.fieldByName(u"VALUE").asFloat(), 99);
    refuse = false;
    t.post();
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), QStringLiteral("X"));
}

// ---- cursor rules ----

TEST(Cursor, MovingPostsTheEditFirst) {
    ClientDataSet t;
    threeRows(t);
    t.edit();
    t.fieldByName(u"VALUE").setAsFloat(20);
    t.next();
    EXPECT_EQ(t.state(), DataSetState::Browse);
    EXPECT_EQ(code(t), QStringLiteral("C"));
    t.prior();
    EXPECT_DOUBLE_EQ(t.fieldByName(u"VALUE").asFloat(), 20);
    EXPECT_EQ(t.changeCount(), 4);  // three appends and the edit
}

TEST(Cursor, CancelInsertPutsTheCursorBack) {
    ClientDataSet t;
    threeRows(t);
    t.insert();  // shows before B
    EXPECT_EQ(t.viewRowCount(), 4);
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_TRUE(t.isPendingRow(1));
    t.fieldByName(u"CODE").setAsString(QStringLiteral("X"));
    t.cancel();
    EXPECT_EQ(t.viewRowCount(), 3);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(code(t), QStringLiteral("B"));

    t.append();
    EXPECT_EQ(t.recNo(), 4);
    t.cancel();
    EXPECT_EQ(code(t), QStringLiteral("B"));
}

TEST(Cursor, InsertShowsBeforeTheCurrentRowAndStaysThereWhenPosted) {
    ClientDataSet t;
    threeRows(t);
    t.insert();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("X"));
    t.post();
    EXPECT_EQ(test::column(t, QStringLiteral("CODE")),
              (std::vector<QString>{QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("B"),
                                    QStringLiteral("C")}));
    EXPECT_EQ(code(t), QStringLiteral("X"));
}

TEST(Cursor, AfterScrollFollowsTheRepositioningOfADelete) {
    ClientDataSet t;
    threeRows(t);
    std::vector<QString> seen;
    t.afterScroll = [&](ClientDataSet& d) { seen.push_back(d.fieldByName(u"CODE").asString()); };
    t.remove();  // B goes, C takes its place
    t.remove();  // C was the last: the cursor steps back to A
    t.remove();  // nothing left
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("C"), QStringLiteral("A"), QString()}));
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_THROW(t.remove(), DataSetError);
}

TEST(Cursor, ClassicWalkVisitsEveryRowOnce) {
    ClientDataSet t;
    threeRows(t);
    int scrolls = 0;
    t.afterScroll = [&](ClientDataSet&) { ++scrolls; };
    QString walked;
    for (t.first(); !t.eof(); t.next())
        walked += code(t);
    EXPECT_EQ(walked, QStringLiteral("ABC"));
    EXPECT_EQ(scrolls, 3);
    EXPECT_EQ(code(t), QStringLiteral("C"));
}

TEST(Cursor, DeleteAllFromTheFirst) {
    ClientDataSet t;
    threeRows(t);
    t.first();
    while (!t.eof())
        t.remove();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.changeCount(), 6);
    t.mergeChangeLog();
    EXPECT_EQ(t.changeCount(), 0);
}

TEST(Cursor, EditOnAnEmptyTableBeginsAnInsert) {
    ClientDataSet t;
    test::declareSimple(t);
    t.createDataSet();
    t.edit();
    EXPECT_EQ(t.state(), DataSetState::Insert);
}

TEST(Cursor, ClosedTableCountsNothingAndRefusesMoves) {
    ClientDataSet t;
    test::declareSimple(t);
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_THROW(t.first(), DataSetError);
    EXPECT_THROW(t.append(), DataSetError);
    EXPECT_TRUE(t.fieldByName(u"CODE").isNull());
    t.open();
    EXPECT_TRUE(t.active());
    test::addSimple(t, QStringLiteral("A"), QStringLiteral("a"), 1);
    t.close();
    EXPECT_EQ(t.state(), DataSetState::Inactive);
    EXPECT_EQ(t.recordCount(), 0);
}

TEST(Cursor, WritingOutsideEditIsRefused) {
    ClientDataSet t;
    threeRows(t);
    EXPECT_THROW(t.fieldByName(u"NAME").setAsString(QStringLiteral("x")), DataSetError);
    t.fieldByName(u"NAME").setReadOnly(true);
    t.edit();
    EXPECT_THROW(t.fieldByName(u"NAME").setAsString(QStringLiteral("x")), DataSetError);
    t.setReadOnly(true);
    t.cancel();
    EXPECT_THROW(t.edit(), DataSetError);
    EXPECT_THROW(t.append(), DataSetError);
    EXPECT_THROW(t.remove(), DataSetError);
}

// ---- field OnChange ----

TEST(FieldChange, RunsOnlyWhenTheValueReallyChanges) {
    ClientDataSet t;
    threeRows(t);
    std::vector<QString> changes;
    t.fieldByName(u"CODE").onChange = [&](Field& f) {
        changes.push_back(f.asString());
        f.dataSet().fieldByName(u"NAME").clear();  // dependent field cleared, as the screens do
    };
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("B"));  // same value: no change
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), QStringLiteral("Beta"));
    t.fieldByName(u"CODE").setAsString(QStringLiteral("B2"));
    EXPECT_TRUE(t.fieldByName(u"NAME").isNull());
    t.fieldByName(u"CODE").setAsString(QStringLiteral("B2XYZ"));  // cut to "B2XY"
    EXPECT_EQ(changes, (std::vector<QString>{QStringLiteral("B2"), QStringLiteral("B2XY")}));
}

TEST(FieldChange, ValuesFromOnNewRecordDoNotCountAsTyping) {
    ClientDataSet t;
    threeRows(t);
    int posts = 0;
    t.afterPost = [&](ClientDataSet&) { ++posts; };
    t.onNewRecord = [](ClientDataSet& d) { d.fieldByName(u"CODE").setAsString(QStringLiteral("N")); };
    t.append();
    EXPECT_FALSE(t.modified());
    t.first();  // untouched new row: cancelled, not posted
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(t.recordCount(), 3);

    t.afterInsert = [](ClientDataSet& d) { d.fieldByName(u"NAME").setAsString(QStringLiteral("padrão")); };
    t.append();
    EXPECT_TRUE(t.modified());
    t.first();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(t.recordCount(), 4);
}

// ---- data source and observers ----

TEST(DataSourceEvents, StateChangesReachTheSourceEvenWithControlsDisabled) {
    ClientDataSet t;
    threeRows(t);
    DataSource dts(&t, QStringLiteral("dtsTeste"));
    std::vector<DataSetState> states;
    dts.onStateChange = [&](DataSource& s) { states.push_back(s.state()); };
    t.disableControls();
    dts.edit();
    t.cancel();
    t.enableControls();
    EXPECT_EQ(states, (std::vector<DataSetState>{DataSetState::Edit, DataSetState::Browse}));
    dts.setDataSet(nullptr);
    EXPECT_EQ(dts.state(), DataSetState::Inactive);
}

TEST(DataSourceEvents, SourceOutlivingItsTableIsDetached) {
    DataSource dts;
    {
        ClientDataSet t;
        dts.setDataSet(&t);
    }
    EXPECT_EQ(dts.dataSet(), nullptr);
}

TEST(Observers, InsertAndCancelAreBracketed) {
    ClientDataSet t;
    threeRows(t);
    EventLog log(t);
    t.insert();
    t.cancel();
    EXPECT_EQ(log.observed, (Events{"aboutToInsert 1", "inserted 1", "state insert", "current 1",
                                    "aboutToRemove 1", "removed 1", "state browse", "current 1"}));
}

TEST(Observers, EditShowsTypedValuesInTheRow) {
    ClientDataSet t;
    threeRows(t);
    EventLog log(t);
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("Novo"));
    EXPECT_EQ(t.textAt(1, 1), QStringLiteral("Novo"));
    t.post();
    EXPECT_EQ(log.observed, (Events{"state edit", "changed 1", "changed 1", "state browse", "current 1"}));
}

TEST(Observers, DisableControlsHoldsNotificationsUntilTheOutermostEnable) {
    ClientDataSet t;
    threeRows(t);
    EventLog log(t);
    t.disableControls();
    t.disableControls();
    t.append();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("D"));
    t.post();
    t.first();
    t.fieldByName(u"CODE").focusControl();  // focus requests are not held back
    t.enableControls();
    EXPECT_TRUE(t.controlsDisabled());
    EXPECT_EQ(log.observed, (Events{"focus CODE"}));
    t.enableControls();
    EXPECT_FALSE(t.controlsDisabled());
    EXPECT_EQ(log.observed, (Events{"focus CODE", "aboutToReset", "reset", "current 0"}));
    // Table events ran all along.
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "AfterScroll"), 2);
}

TEST(Observers, PostUnderAnIndexMovesTheRow) {
    ClientDataSet t;
    threeRows(t);
    t.setIndexFieldNames(QStringLiteral("CODE"));
    t.first();
    EventLog log(t);
    t.edit();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("Z"));
    t.post();
    EXPECT_EQ(log.observed, (Events{"state edit", "changed 0", "aboutToRemove 0", "removed 0",
                                    "aboutToInsert 2", "inserted 2", "state browse", "current 2"}));
    EXPECT_EQ(code(t), QStringLiteral("Z"));
    EXPECT_EQ(t.recNo(), 3);
}

TEST(Observers, GridRowsIncludeThePendingInsert) {
    ClientDataSet t;
    threeRows(t);
    t.insert();
    t.fieldByName(u"CODE").setAsString(QStringLiteral("X"));
    EXPECT_EQ(test::column(t, QStringLiteral("CODE")),
              (std::vector<QString>{QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("B"),
                                    QStringLiteral("C")}));
    EXPECT_EQ(t.currentViewRow(), 1);
    EXPECT_TRUE(t.isPendingRow(1));
    EXPECT_FALSE(t.isPendingRow(2));
    EXPECT_EQ(t.textAt(4, 0), QString());  // past the end
}

TEST(DataSourceEvents, DataChangeNamesTheFieldOrNone) {
    ClientDataSet t;
    threeRows(t);
    DataSource dts(&t);
    std::vector<QString> seen;
    dts.onDataChange = [&](DataSource&, Field* f) {
        seen.push_back(f ? f->fieldName() : QStringLiteral("-"));
    };
    t.edit();
    t.fieldByName(u"NAME").setAsString(QStringLiteral("x"));
    t.fieldByName(u"NAME").setAsString(QStringLiteral("x"));  // no change, no event
    t.post();
    t.next();
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("NAME"), QStringLiteral("-"), QStringLiteral("-")}));
}

}  // namespace
