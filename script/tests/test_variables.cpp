#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/records.h"
#include "script/variables.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
struct Vars : ::testing::Test {
    QTemporaryDir dir;
    GameVariables vars;
    QString file() const { return dir.filePath("Variables"); }
};
} // namespace

TEST_F(Vars, ToggleSwapsTheLowestBitAndEveryEntryOfTheNameChanges) {
    GameVariables::writeVariablesFile(file(), {"Door", "Lamp", "Door", "Count"});
    vars.LoadVariables(file());
    ASSERT_EQ(vars.Variables.count(), 4);
    vars.ChangeVariableValue("Door", -1);
    EXPECT_EQ(vars.Variables.at(1)->value(), 1);
    EXPECT_EQ(vars.Variables.at(3)->value(), 1) << "duplicates change together";
    vars.ChangeVariableValue("Door", -1);
    EXPECT_EQ(vars.GetVariableValue("Door"), 0);
    vars.ChangeVariableValue("Count", 5);
    vars.ChangeVariableValue("Count", -1);
    EXPECT_EQ(vars.GetVariableValue("Count"), 4);
    // A read returns the first of two entries.
    vars.Variables.at(3)->setValue(9);
    EXPECT_EQ(vars.GetVariableValue("Door"), 0);
}

TEST_F(Vars, ExactNamesForValuesAndAnyCaseForExistence) {
    GameVariables::writeVariablesFile(file(), {"Door"}, {"Name"});
    vars.LoadVariables(file());
    EXPECT_EQ(vars.GetVariableValue("door"), GameVariables::kMissing);
    EXPECT_TRUE(vars.DoesIntergerVariableExist("door"));
    EXPECT_FALSE(vars.DoesVariantVariableExist("door"));
    EXPECT_TRUE(vars.DoesVariantVariableExist("NAME"));
    vars.ChangeVariableValue("door", 1); // no exact match: nothing changes
    EXPECT_EQ(vars.GetVariableValue("Door"), 0);
    EXPECT_EQ(vars.GetVariableReferenceFromName("NAME"), vars.VariablesVariant.at(1));
    EXPECT_EQ(vars.GetVariableReferenceFromName("nobody"), nullptr);
}

TEST_F(Vars, VariantsStartAtTheIntegerZeroAndTakeAnyValue) {
    GameVariables::writeVariablesFile(file(), {}, {"Name", "Score"});
    vars.LoadVariables(file());
    ASSERT_EQ(vars.VariablesVariant.count(), 2);
    EXPECT_EQ(vars.Variables.count(), 0);
    const QVariant initial = vars.VariablesVariant.at(1)->value();
    EXPECT_EQ(initial.typeId(), QMetaType::Short);
    EXPECT_EQ(initial.toInt(), 0);
    vars.ChangeVariableVariantValue("Name", QString("Ann"));
    EXPECT_EQ(vars.VariablesVariant.at(1)->value().toString(), "Ann");
    // The variant list is searched first for a reference by name.
    GameVariables::writeVariablesFile(file(), {"Score"}, {"score"});
    vars.LoadVariables(file());
    EXPECT_EQ(vars.GetVariableReferenceFromName("SCORE"), vars.VariablesVariant.at(1));
}

TEST_F(Vars, OnlyTheMarkerMeansTwoEmptyListsAndPluginsAddWhatIsMissing) {
    RecordWriter out;
    out.string("").string("***").endLine();
    out.saveTo(file());
    vars.LoadVariables(file());
    EXPECT_EQ(vars.Variables.count(), 0);
    EXPECT_EQ(vars.VariablesVariant.count(), 0);

    GameVariables::writeVariablesFile(file(), {"score"});
    vars.LoadVariables(file(), {{{"Score", "Lives"}, {"Title"}}});
    EXPECT_EQ(vars.Variables.count(), 2) << "Score exists already, whatever its case";
    EXPECT_EQ(vars.Variables.at(2)->name(), "Lives");
    EXPECT_EQ(vars.VariablesVariant.count(), 1);
}

TEST_F(Vars, AMissingFileIsReportedAndLeavesEmptyLists) {
    DialogService::instance().setAutomated(true);
    vars.LoadVariables(dir.filePath("Nope"));
    EXPECT_TRUE(EventLog::instance().lines().last().contains(
        "Error description: Unable to load variables list.|OK"));
    EXPECT_EQ(vars.Variables.count(), 0);
}

TEST(Collections, OneBasedPositionsKeysAndRemoval) {
    VariablesCollection list;
    list.Add("A", 1);
    list.Add("B", 2, "bee");
    list.Add("C", 3);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(static_cast<ClassVariable*>(list.Item(1))->name(), "A");
    EXPECT_EQ(static_cast<ClassVariable*>(list.Item("BEE"))->name(), "B");
    EXPECT_THROW(list.Item(0), VbError);
    EXPECT_THROW(list.Item(4), VbError);
    EXPECT_THROW(list.Item("nokey"), VbError);
    EXPECT_THROW(list.Add("D", 40000), VbError);
    EXPECT_EQ(list.count(), 3) << "a failed Add adds nothing";
    list.Remove(1);
    EXPECT_EQ(static_cast<ClassVariable*>(list.Item(1))->name(), "B");
    list.Remove("bee");
    EXPECT_EQ(list.count(), 1);

    MultiColumnsList rows;
    auto* row = static_cast<MultiColumnsRow*>(rows.Add({QString("x"), 2, true}));
    EXPECT_EQ(rows.count(), 1);
    EXPECT_EQ(row->count(), 3);
    EXPECT_EQ(row->Item(2).toInt(), 2);
    EXPECT_THROW(row->Item(4), VbError);
}
