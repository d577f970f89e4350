// The installable-service slot: fallback while empty, scoped installs that
// never remove a replacement, reads from another thread, and the
// foundation's own null application.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "foundation/system/app_services.h"
#include "foundation/system/service.h"

namespace {

class Counter {
public:
    virtual ~Counter() = default;
    static Counter& Fallback();
    virtual int Next() = 0;
};

class NullCounter : public Counter {
public:
    int Next() override { return -1; }
};

Counter& Counter::Fallback() {
    static NullCounter none;
    return none;
}

class Ticking : public Counter {
public:
    explicit Ticking(int start) : value_(start) {}
    int Next() override { return value_++; }

private:
    int value_;
};

TEST(Service, ScopesInstallAndTheFallbackAnswersOutsideThem) {
    ASSERT_EQ(Service<Counter>::Installed(), nullptr);
    EXPECT_EQ(&Service<Counter>::Get(), &Counter::Fallback());
    EXPECT_EQ(Service<Counter>::Get().Next(), -1);
    Ticking ticking(5);
    {
        ScopedService<Counter> scope(&ticking);
        EXPECT_EQ(Service<Counter>::Installed(), &ticking);
        EXPECT_EQ(Service<Counter>::Get().Next(), 5);
        EXPECT_EQ(Service<Counter>::Get().Next(), 6);
    }
    EXPECT_EQ(Service<Counter>::Installed(), nullptr);
    EXPECT_EQ(Service<Counter>::Get().Next(), -1);
    ScopedService<Counter> nothing(nullptr);
    EXPECT_EQ(Service<Counter>::Installed(), nullptr);
}

TEST(Service, EndingAReplacedScopeLeavesTheReplacementInstalled) {
    Ticking first(0), second(100);
    auto outer = std::make_unique<ScopedService<Counter>>(&first);
    {
        ScopedService<Counter> inner(&second);
        EXPECT_EQ(Service<Counter>::Installed(), &second);
        outer.reset();  // no longer first's slot: left alone
        EXPECT_EQ(Service<Counter>::Installed(), &second);
    }
    // Nothing is restored: first's scope has ended.
    EXPECT_EQ(Service<Counter>::Installed(), nullptr);
}

TEST(Service, AnotherThreadReadsTheInstalledImplementation) {
    Ticking ticking(40);
    ScopedService<Counter> scope(&ticking);
    int seen = 0;
    std::thread loader([&seen] { seen = Service<Counter>::Get().Next(); });
    loader.join();
    EXPECT_EQ(seen, 40);
}

TEST(NullAppServicesTest, FatalErrorsGoToStandardErrorAndNothingIsFound) {
    ASSERT_EQ(Service<AppServices>::Installed(), nullptr);
    testing::internal::CaptureStderr();
    ShowFatalError("disk on fire");
    ShowFatalErrorWide(L"w\u00e9de");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "FATAL ERROR: disk on fire\nFATAL ERROR: w\xc3\xa9"
              "de\n");
    EXPECT_EQ(GetStoredDataVersion(), 0);
    SetStoredDataVersion(7);
    EXPECT_EQ(GetStoredDataVersion(), 0);
    EXPECT_EQ(CurrentPlayerSymbols(), nullptr);
    EXPECT_EQ(Service<AppServices>::Get().GetScreenDpi(), 96);
}

}  // namespace
