// The new cue purchase window in the shop through OpenGL: the shop's render step builds the whole
// cue from the parts the player picks (not the plain stand-in shape) and the part cards from the
// resource tree; the frame is compared with a reference image.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/render/RenderDevice.h"
#include "gui/ItemPreview.h"
#include "net/ItemTable.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "table/ItemModels.h"
#include "tests/scenes/shop/ShopTestHost.h"
#include "tests/scenes/support/ScreenReference.h"

namespace {

constexpr std::uint16_t kWidth = 1024, kHeight = 768;
namespace pc = scenes::cue_purchase_control;

// Pixels of the rectangle that differ between two frames.
int Changed(const platform::Image& a, const platform::Image& b, int x0, int y0, int w, int h) {
    int count = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 4;
            for (int c = 0; c < 3; ++c)
                if (std::abs(a.rgba[at + c] - b.rgba[at + c]) > 8) {
                    ++count;
                    break;
                }
        }
    return count;
}

TEST(CuePurchaseGl, TheWholeCueIsBuiltFromThePickedPartsAndTheWindowMatchesTheReference) {
    GlScreen screen(kWidth, kHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    RenderDevice& device = *screen.gl.device;
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";
    gui::ItemPreview::SetModelSource(
        [&](RenderDevice& d, std::uint32_t itemId, const gui::ItemPreview::PartIds& parts) {
            return table::BuildItemModel(d, screen.resources, itemId, parts);
        });

    ShopTestHost host;
    host.session->own.cash = 50000;
    scenes::SceneShop shop;
    shop.SetHost(&host);
    shop.Show(true);
    ASSERT_EQ(shop.Load3D(&screen.resources, &device), 0);
    shop.Enter();
    shop.LayoutChildren(kWidth, kHeight);
    scenes::PersonalCuePurchaseWindow& window = *shop.CuePurchase();
    window.SetCueType(*net::GetItemTable().Find(3100));
    window.Show(true);
    auto command = [&](std::uint32_t id, gui::Widget* source) {
        window.OnCommand({source, id, 0, gui::CommandCode::Event});
    };
    for (int k = 0; k < 5; ++k)
        for (int i = 0; i < 30; ++i)
            command(pc::kFirstMinus + 2 * static_cast<std::uint32_t>(k) + 1, &window);
    command(pc::kNext, &window);
    command(pc::kNext, &window);
    ASSERT_EQ(window.Page(), 3);

    gui::ItemPreview& whole = *shop.PreviewPanel()->Preview();
    shop.Render(&device, true);
    ASSERT_TRUE(whole.HasModel());
    EXPECT_FALSE(whole.ShowsStandIn()) << "the cue is made of its parts' models";
    const platform::Image before = DrawScreenFrame(device, shop);

    // The last butt of the first page and the second shaft.
    command(pc::kFirstCard + 13, window.Card(1, 3));
    command(pc::kFirstCard + 1, window.Card(0, 1));
    shop.Render(&device, true);
    EXPECT_EQ(whole.Parts()[1], 3);
    EXPECT_FALSE(whole.ShowsStandIn());
    EXPECT_TRUE(window.PartPreview()->Built());
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(window.Card(1, c)->Preview()->Built()) << "butt card " << c;
    const platform::Image after = DrawScreenFrame(device, shop);
    ASSERT_EQ(before.width, after.width);
    const int x = shop.PreviewPanel()->ScreenX(), y = shop.PreviewPanel()->ScreenY();
    EXPECT_GT(Changed(before, after, x, y, shop.PreviewPanel()->Width(), shop.PreviewPanel()->Height()), 50)
        << "another butt changes the whole cue drawn";

    ExpectScreenMatchesReference(
        device, shop, "scenes_cue_purchase",
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/cue_purchase_reference.png");
    shop.Leave(&screen.resources, nullptr);
    EXPECT_FALSE(whole.HasModel()) << "leaving the shop releases the previews";
    EXPECT_FALSE(window.PartPreview()->Built());
    gui::ItemPreview::SetModelSource({});
}

}  // namespace
