#include "vcl/Classes.h"

#include "vcl/SysUtils.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Notes its name in a shared log when it is destroyed.
class TLogged : public TComponent {
public:
    TLogged(TComponent* AOwner, const std::string& AName, std::vector<std::string>& Log)
        : TComponent(AOwner), FLog(Log) {
        SetName(AName);
    }
    ~TLogged() override { FLog.push_back(Name()); }

private:
    std::vector<std::string>& FLog;
};

TEST(TComponent, OwnerDestroysItsComponentsLastCreatedFirst) {
    std::vector<std::string> Log;
    auto* Owner = new TLogged(nullptr, "Owner", Log);
    auto* First = new TLogged(Owner, "First", Log);
    new TLogged(First, "Grandchild", Log);
    new TLogged(Owner, "Second", Log);
    new TLogged(Owner, "Third", Log);
    EXPECT_EQ(Owner->ComponentCount(), 3);
    EXPECT_EQ(First->Owner(), Owner);
    delete Owner;
    EXPECT_EQ(Log, (std::vector<std::string>{"Owner", "Third", "Second", "First", "Grandchild"}));
}

TEST(TComponent, ComponentDestroyedFirstLeavesItsOwnersList) {
    std::vector<std::string> Log;
    TLogged Owner(nullptr, "Owner", Log);
    auto* Child = new TLogged(&Owner, "Child", Log);
    new TLogged(&Owner, "Other", Log);
    delete Child;
    ASSERT_EQ(Owner.ComponentCount(), 1);
    EXPECT_EQ(Owner.Components(0)->Name(), "Other");
}

TEST(TComponent, FindsComponentsByNameWithoutRegardToCase) {
    TComponent Owner(nullptr);
    auto* Tools = new TComponent(&Owner);
    Tools->SetName("TivTools");
    new TComponent(&Owner);
    EXPECT_EQ(Owner.FindComponent("tivtools"), Tools);
    EXPECT_EQ(Owner.FindComponent("Regstry1"), nullptr);
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
}

TEST(TComponent, IndexOutsideTheListRaises) {
    TComponent Owner(nullptr);
    new TComponent(&Owner);
    EXPECT_NO_THROW(Owner.Components(0));
    EXPECT_THROW(Owner.Components(1), Exception);
    EXPECT_THROW(Owner.Components(-1), Exception);
}

TEST(Exception, CarriesItsMessageThroughEveryDerivedFailure) {
    try {
        throw EOverflow("Gleitkommaüberlauf");
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Gleitkommaüberlauf");
        EXPECT_STREQ(E.what(), "Gleitkommaüberlauf");
    }
}

} // namespace
