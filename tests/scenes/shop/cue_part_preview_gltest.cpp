// Cue parts drawn from the generated resource tree: a big draggable preview and a row of part cards,
// compared with a reference image; a part without a model stays empty.
#include <gtest/gtest.h>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/UiResourceSet.h"
#include "net/CuePartTable.h"
#include "scenes/shop/cue/CuePartPreview.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/support/ScreenReference.h"

namespace {

constexpr std::uint16_t kWidth = 480, kHeight = 260;

TEST(CuePartPreviewGl, PartsFromTheResourceTreeMatchTheReferenceAndAMissingPartStaysEmpty) {
    gl_test::GlDevice gl(kWidth, kHeight);
    if (!gl.device) {
        GTEST_SKIP() << "no GL context: " << gl.error;
    }
    RenderDevice& device = *gl.device;
    ResourceManager resources;
    resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
    resources.SetDataFolder(u"data");
    gui::UiResourceSet sets(&resources, 0);
    sets.InitSets();
    ASSERT_EQ(sets.OpenTree(), 1) << "the generated packages are missing";

    gui::Widget root;
    root.Create(0, 0, kWidth, kHeight);
    root.Show(true);
    auto* big = root.Make<scenes::CuePartPreview>(8, 8, 147, 242, true);
    big->Show(true);
    big->SetPart(static_cast<int>(net::CuePartGroup::Butt), 7);  // the last butt the table sells
    scenes::CuePartCard* cards[3];
    for (int i = 0; i < 3; ++i) {
        cards[i] = root.Make<scenes::CuePartCard>(170 + 90 * i, 8, 100 + i, false);
        cards[i]->SetPart(static_cast<int>(net::CuePartGroup::Tip) - 2 * i, i);
    }
    cards[0]->SetPressed(true);
    auto* missing = root.Make<scenes::CuePartPreview>(170, 140, 75, 118, false);
    missing->Show(true);
    missing->SetPart(static_cast<int>(net::CuePartGroup::Shaft), 40);

    big->BuildModel(&device, &resources);
    for (auto* card : cards) card->Preview()->BuildModel(&device, &resources);
    missing->BuildModel(&device, &resources);
    EXPECT_TRUE(big->Built());
    for (auto* card : cards) EXPECT_TRUE(card->Preview()->Built());
    EXPECT_FALSE(missing->Built()) << "a part without a node shows nothing";
    EXPECT_FALSE(missing->BuildRequested()) << "and is not looked up again every pass";

    // The same part set twice is released and made once.
    const int builds = cards[1]->Preview()->BuildCount();
    cards[1]->SetPart(static_cast<int>(net::CuePartGroup::Joint), 1);
    cards[1]->SetPart(static_cast<int>(net::CuePartGroup::Joint), 1);
    cards[1]->Preview()->BuildModel(&device, &resources);
    EXPECT_EQ(cards[1]->Preview()->BuildCount(), builds + 1);
    EXPECT_TRUE(cards[1]->Preview()->Built());

    ExpectScreenMatchesReference(
        device, root, "scenes_cue_parts",
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/cue_parts_reference.png");
}

}  // namespace
