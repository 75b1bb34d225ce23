#include "skin/SkinBinding.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "skin/NativeSkinEngineCaller.h"
#include "skin/SkinApplier.h"
#include "skin/SkinEngineCaller.h"
#include "support/FakeModulePlatform.h"
#include "support/PeImageWriter.h"
#include "winmodule/ModuleImageLoader.h"

namespace lumo {
namespace {

using test::ExportTableWriter;
using test::FakeModulePlatform;
using test::PeImageWriter;

constexpr std::uint32_t kText = 0x1000;
constexpr std::uint32_t kEdata = 0x2000;
constexpr std::uint32_t kAttachRva = kText + 0x20;

// Records the calls it is asked to make; a script says whether it can run engine code and what
// the engine answers. What the pointers point to is copied at the call, as the engine sees it.
class FakeEngineCaller final : public SkinEngineCaller {
public:
    struct Call {
        std::uintptr_t function = 0;
        const char* skin = nullptr;
        std::uint32_t skinLength = 0;
        bool hasPassword = false;
        Text password;
        std::int32_t hue = 0, saturation = 0, brightness = 0;
    };

    bool canCall = true;
    std::int32_t answer = 1;
    std::vector<Call> calls;

    bool callAttach(std::uintptr_t function, const AttachArguments& arguments,
                    std::int32_t& result) override {
        if (!canCall) return false;
        Call call{function,
                  arguments.skin,
                  arguments.skinLength,
                  arguments.password != nullptr,
                  arguments.password != nullptr ? Text(arguments.password) : Text(),
                  arguments.hue,
                  arguments.saturation,
                  arguments.brightness};
        calls.push_back(call);
        result = answer;
        return true;
    }
};

class FakeSkinApplier final : public SkinApplier {
public:
    struct Call {
        Bytes skin;
        std::optional<Text> password;
        int hue = 0, saturation = 0, brightness = 0;
    };
    std::vector<Call> calls;

    void applySkin(const Bytes& skin, const std::optional<Text>& password, int hue, int saturation,
                   int brightness) override {
        calls.push_back({skin, password, hue, saturation, brightness});
    }
};

// A skin engine DLL whose export table holds the given names, every one at kAttachRva.
Bytes engineImage(const std::vector<std::string>& exportNames) {
    PeImageWriter writer;
    writer.setEntryPoint(kText);
    writer.addSection(".text", kText, Bytes(0x40, '\xC3'));
    ExportTableWriter exports;
    for (const std::string& name : exportNames) exports.addFunction(kAttachRva, name);
    const Bytes edata = exports.build(kEdata);
    writer.addSection(".edata", kEdata, edata);
    writer.setDirectory(0, kEdata, static_cast<std::uint32_t>(edata.size()));
    return writer.build();
}

class SkinBindingTest : public ::testing::Test {
protected:
    FakeModulePlatform platform;
    ModuleImageLoader skinEngine{platform};
    FakeEngineCaller engineCaller;
    FakeSkinApplier ownSkin;
    SkinBinding binding{skinEngine, engineCaller, ownSkin};
    // Skin data with a NUL inside: it is handed on by address and length, never as a text.
    const Bytes skin = Bytes(".SHE\0skin data", 14);
};

TEST_F(SkinBindingTest, EngineReceivesTheSkinANullPasswordAndThreeZeros) {
    ASSERT_TRUE(skinEngine.loadImage(engineImage({"SkinH_Attach", "SkinH_AttachRes"})));

    EXPECT_EQ(binding.attach(skin), SkinBinding::Outcome::Engine);

    ASSERT_EQ(engineCaller.calls.size(), 1u);
    const FakeEngineCaller::Call& call = engineCaller.calls[0];
    EXPECT_EQ(call.function, skinEngine.base() + kAttachRva);
    EXPECT_EQ(call.skin, skin.data());
    EXPECT_EQ(call.skinLength, 14u);
    EXPECT_FALSE(call.hasPassword);
    EXPECT_EQ(call.hue, 0);
    EXPECT_EQ(call.saturation, 0);
    EXPECT_EQ(call.brightness, 0);
    EXPECT_TRUE(ownSkin.calls.empty());
}

TEST_F(SkinBindingTest, EnginesAnswerIsNotExaminedAndPasswordAndShiftsPassThrough) {
    ASSERT_TRUE(skinEngine.loadImage(engineImage({"SkinH_AttachRes"})));
    engineCaller.answer = 0;

    EXPECT_EQ(binding.attach(skin, Text("pass word"), -30, 20, -10), SkinBinding::Outcome::Engine);

    ASSERT_EQ(engineCaller.calls.size(), 1u);
    EXPECT_TRUE(engineCaller.calls[0].hasPassword);
    EXPECT_EQ(engineCaller.calls[0].password, "pass word");
    EXPECT_EQ(engineCaller.calls[0].hue, -30);
    EXPECT_EQ(engineCaller.calls[0].saturation, 20);
    EXPECT_EQ(engineCaller.calls[0].brightness, -10);
    EXPECT_TRUE(ownSkin.calls.empty());
}

TEST_F(SkinBindingTest, EmptyEngineImageLeavesTheSkinToOurOwn) {
    // What start-up does: the program carries no engine, so its image is empty.
    EXPECT_FALSE(skinEngine.loadImage(Bytes()));

    EXPECT_EQ(binding.attach(skin), SkinBinding::Outcome::OwnSkin);

    EXPECT_TRUE(engineCaller.calls.empty());
    ASSERT_EQ(ownSkin.calls.size(), 1u);
    EXPECT_EQ(ownSkin.calls[0].skin, skin);
    EXPECT_FALSE(ownSkin.calls[0].password.has_value());
    EXPECT_EQ(ownSkin.calls[0].hue, 0);
    EXPECT_EQ(ownSkin.calls[0].saturation, 0);
    EXPECT_EQ(ownSkin.calls[0].brightness, 0);
}

TEST_F(SkinBindingTest, OwnSkinTakesTheSameInputsWhenTheExportIsMissing) {
    // Names that differ in case, or are only a prefix, are not the attach function.
    ASSERT_TRUE(skinEngine.loadImage(engineImage({"skinh_attachres", "SkinH_Attach"})));

    EXPECT_EQ(binding.attach(skin, Text("pw"), 90, -50, 25), SkinBinding::Outcome::OwnSkin);

    EXPECT_TRUE(engineCaller.calls.empty());
    ASSERT_EQ(ownSkin.calls.size(), 1u);
    EXPECT_EQ(ownSkin.calls[0].skin, skin);
    EXPECT_EQ(ownSkin.calls[0].password, std::optional<Text>("pw"));
    EXPECT_EQ(ownSkin.calls[0].hue, 90);
    EXPECT_EQ(ownSkin.calls[0].saturation, -50);
    EXPECT_EQ(ownSkin.calls[0].brightness, 25);
}

TEST_F(SkinBindingTest, EngineThatCannotRunHereLeavesTheSkinToOurOwn) {
    ASSERT_TRUE(skinEngine.loadImage(engineImage({"SkinH_AttachRes"})));
    engineCaller.canCall = false;

    EXPECT_EQ(binding.attach(skin), SkinBinding::Outcome::OwnSkin);

    EXPECT_EQ(ownSkin.calls.size(), 1u);
}

TEST(SkinBindingNativeTest, StartUpPathOnThisSystemEndsWithOurOwnSkin) {
    // The loader and caller of the running system, as the program uses them.
    ModuleImageLoader skinEngine;
    EXPECT_FALSE(skinEngine.loadImage(Bytes()));
    const std::unique_ptr<SkinEngineCaller> engineCaller = SkinEngineCaller::createNative();
    FakeSkinApplier ownSkin;
    const Bytes skin = "QWidget { color: #000000; }";

    EXPECT_EQ(SkinBinding(skinEngine, *engineCaller, ownSkin).attach(skin),
              SkinBinding::Outcome::OwnSkin);
    ASSERT_EQ(ownSkin.calls.size(), 1u);
    EXPECT_EQ(ownSkin.calls[0].skin, skin);
}

#if !(defined(_WIN32) && !defined(_WIN64))
TEST(SkinBindingNativeTest, NativeCallerRefusesToRunWindowsCodeHere) {
    NativeSkinEngineCaller caller;
    SkinEngineCaller::AttachArguments arguments;
    std::int32_t result = 77;
    EXPECT_FALSE(caller.callAttach(0x10001000, arguments, result));
    EXPECT_EQ(result, 77);
}
#endif

}  // namespace
}  // namespace lumo
