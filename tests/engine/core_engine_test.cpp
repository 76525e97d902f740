#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/core/DeviceError.h"
#include "engine/core/Engine.h"
#include "engine/core/HiResTimer.h"
#include "engine/core/Log.h"
#include "engine/core/Shared.h"
#include "platform/sys/Clock.h"

namespace {

// Records what the engine does to its subsystems, in order.
struct Journal {
    std::vector<std::string> events;
};

struct FakeDevice : RenderDeviceBase {
    FakeDevice(Journal& j, bool ok) : journal(j), initOk(ok) {}
    ~FakeDevice() override { journal.events.push_back("~device"); }
    bool Initialize() override {
        journal.events.push_back("init device");
        return initOk;
    }
    void SetActive(bool on) override { journal.events.push_back(on ? "active" : "inactive"); }
    Journal& journal;
    bool initOk;
};

struct FakeResources : ResourceManagerBase {
    explicit FakeResources(Journal& j) : journal(j) {}
    ~FakeResources() override { journal.events.push_back("~resources"); }
    bool Initialize() override {
        journal.events.push_back("init resources");
        return true;
    }
    Journal& journal;
};

struct FakeScenes : SceneManagerBase {
    explicit FakeScenes(Journal& j) : journal(j) {}
    ~FakeScenes() override { journal.events.push_back("~scenes"); }
    Journal& journal;
};

class FakeFactory : public EngineFactory {
public:
    FakeFactory(Journal& j, bool deviceOk) : journal_(j), deviceOk_(deviceOk) {}
    std::unique_ptr<RenderDeviceBase> CreateRenderDevice(Engine&) override {
        return std::make_unique<FakeDevice>(journal_, deviceOk_);
    }
    std::unique_ptr<ResourceManagerBase> CreateResourceManager(Engine& engine) override {
        // Later slots can reach what was built before them.
        if (!engine.GetDevice()) journal_.events.push_back("device missing in resource slot");
        return std::make_unique<FakeResources>(journal_);
    }
    // No sound manager: the slot keeps the base's "not available".
    std::unique_ptr<SceneManagerBase> CreateSceneManager(Engine&) override {
        return std::make_unique<FakeScenes>(journal_);
    }

private:
    Journal& journal_;
    bool deviceOk_;
};

class LogCapture {
public:
    LogCapture() {
        GetLog().SetObserver([this](const std::string& line) {
            std::lock_guard lock(mutex_);
            text_ += line;
        });
    }
    ~LogCapture() { GetLog().SetObserver(nullptr); }
    std::string Text() {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    std::mutex mutex_;
    std::string text_;
};

}  // namespace

TEST(Engine, BuildsThroughTheFactorySlotsAndReleasesInReverseOrder) {
    Journal journal;
    LogCapture log;
    {
        FakeFactory factory(journal, true);
        std::unique_ptr<Engine> engine = factory.CreateEngine();
        EXPECT_EQ(engine->GetDevice(), nullptr);
        ASSERT_TRUE(engine->Initialize());
        EXPECT_NE(engine->GetDevice(), nullptr);
        EXPECT_NE(engine->GetResourceManager(), nullptr);
        EXPECT_EQ(engine->GetSoundManager(), nullptr);
        EXPECT_NE(engine->GetSceneManager(), nullptr);
        engine->SetActive(false);
        EXPECT_FALSE(engine->IsActive());
        engine->SetActive(true);
        EXPECT_TRUE(engine->Initialize());  // a second call builds nothing new
    }
    const std::vector<std::string> expected = {"init device", "init resources", "inactive", "active",
                                               "~scenes",     "~resources",     "~device"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_NE(log.Text().find("sound manager not available"), std::string::npos) << log.Text();
}

TEST(Engine, SubsystemThatFailsToInitialiseIsNamedInTheLogAndFailsTheEngine) {
    Journal journal;
    LogCapture log;
    FakeFactory factory(journal, false);
    Engine engine(factory);
    EXPECT_FALSE(engine.Initialize());
    EXPECT_EQ(engine.GetDevice(), nullptr);
    EXPECT_NE(log.Text().find("render device failed to initialize"), std::string::npos) << log.Text();
    engine.SetActive(false);  // no device: only the flag changes
    EXPECT_FALSE(engine.IsActive());
    EXPECT_FALSE(engine.Initialize());
}

TEST(DeviceErrorMessage, GivenTextsOwnTextsAndUndefinedCodes) {
    EXPECT_EQ(GetDeviceErrorMessage(1, 0),
              u"Failed to query Direct3D9 interface - please install DirectX 9.0c version.");
    EXPECT_EQ(GetDeviceErrorMessage(2, 0), u"Invalid DirectX version - please install DirectX 9.0c version.");
    EXPECT_EQ(GetDeviceErrorMessage(3, 0),
              u"Failed to get device caps - please check display adapter driver");
    EXPECT_EQ(GetDeviceErrorMessage(8, 0), u"Failed to create Direct3D device.");
    for (int code : {-1, 14, 1000}) {
        EXPECT_EQ(GetDeviceErrorMessage(code, 0), u"Undefined error.");
        EXPECT_EQ(GetDeviceErrorMessage(code, 7), u"Undefined error.");
    }
    // Every code in range has a text of its own in both languages.
    for (int code = 0; code < kDeviceResultCount; ++code)
        for (int language : {0, 1}) {
            const WStringView text = GetDeviceErrorMessage(code, language);
            EXPECT_FALSE(text.empty());
            EXPECT_NE(text, GetDeviceErrorMessage(-1, language));
            for (int other = 0; other < code; ++other)
                EXPECT_NE(text, GetDeviceErrorMessage(other, language));
        }
    EXPECT_NE(GetDeviceErrorMessage(5, 1), GetDeviceErrorMessage(5, 0));
}

TEST(HiResTimer, ReadsThePlatformClock) {
    platform::VirtualClock clock(2000);
    platform::SetClock(&clock);
    HiResTimer& timer = GetHiResTimer();
    const std::uint64_t start = timer.Counter();
    EXPECT_EQ(start, 2'000'000u);
    clock.AdvanceUs(1500);
    EXPECT_EQ(timer.TicksSince(start), 1500u);
    EXPECT_DOUBLE_EQ(timer.MillisecondsSince(start), 1.5);
    EXPECT_EQ(timer.TicksSince(start + 10'000), 0u);
    platform::SetClock(nullptr);
}

TEST(Clock, ElapsedMsCountsAStartAfterNowAsNoTimeWaited) {
    EXPECT_EQ(platform::ElapsedMs(1000, 1500), 500u);
    EXPECT_EQ(platform::ElapsedMs(1500, 1500), 0u);
    EXPECT_EQ(platform::ElapsedMs(1501, 1500), 0u) << "the start was stamped after the now given";
}

TEST(SharedEmpty, FailedLookupsShareOneEmptyHandlePerType) {
    struct Texture {};
    const std::shared_ptr<Texture>& first = SharedEmpty<Texture>();
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(&first, &SharedEmpty<Texture>());
    EXPECT_EQ(first.use_count(), 0);
}
