#include "TableFormController.h"

#include "Table.h"

#include <gtest/gtest.h>

#include <memory>

TEST(TableFormController, UnresolvableEntries)
{
    TGridTableList list;
    list.AddIdentifier(-1);
    list.AddTable(nullptr);
    list.AddIndex(TableCount() + 5);
    for (int i = 0; i < list.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.Tables(i), nullptr);
    }
    EXPECT_EQ(list.RegistryIndex(0), -1);
    EXPECT_EQ(list.RegistryIndex(1), -1);
    EXPECT_THROW(list.Tables(3), EListError);
}

TEST(TableFormController, EntriesByIdentifierFollowTheirTable)
{
    auto first = std::make_unique<TGridTable>();
    auto second = std::make_unique<TGridTable>();
    auto third = std::make_unique<TGridTable>();
    TGridTableList list;
    list.AddIdentifier(second->Identifier());
    list.AddTable(second.get());
    list.InsertTable(0, third.get());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Tables(0), third.get());
    EXPECT_EQ(list.Tables(1), second.get());
    EXPECT_EQ(list.Tables(2), second.get());

    // Swapping identifiers moves the entry by identifier, not the one by position.
    first->SetIdentifier(second->Identifier());
    EXPECT_EQ(list.Tables(1), first.get());
    EXPECT_EQ(list.Tables(2), second.get());

    // Destroying an earlier table shifts positions, not identifiers.
    const int identifierOfFirst = first->Identifier();
    list.Delete(1);
    list.AddIdentifier(identifierOfFirst);
    list.AddIdentifier(third->Identifier());
    first.reset();
    EXPECT_EQ(list.Tables(0), nullptr);     // third's old position is past the end
    EXPECT_EQ(list.Tables(1), third.get()); // position of second, now held by third
    EXPECT_EQ(list.Tables(2), nullptr);     // its table is gone
    EXPECT_EQ(list.Tables(3), third.get());
}

TEST(TableFormController, BadPositionLeavesTheListAsItWas)
{
    TGridTableList list;
    EXPECT_THROW(list.InsertIdentifier(1, 4), EListError);
    EXPECT_THROW(list.InsertIndex(-1, 4), EListError);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.Delete(0), EListError);
}
