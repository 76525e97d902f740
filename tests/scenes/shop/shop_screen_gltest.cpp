// What a player sees of the shop: the catalogue with a chosen cue, its detail rows and the purchase
// window, drawn through OpenGL and compared with a reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "gui/Placement.h"
#include "gui/TextInput.h"
#include "gui/UiResourceSet.h"
#include "gui/WidgetRouter.h"
#include "platform/video/ImageFile.h"
#include "scenes/front/Messenger.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/shop/ShopTestHost.h"
#include "tests/scenes/support/LayoutBoxes.h"
#include "tests/scenes/support/ScreenReference.h"

namespace {

constexpr std::uint16_t kWidth = 1024, kHeight = 768;

std::string ReferencePath() {
    return std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/shop_reference.png";
}

TEST(ShopScreenGl, TheCatalogueWithAPurchaseMatchesTheReferenceImage) {
    GlScreen screen(kWidth, kHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    RenderDevice& device = *screen.gl.device;
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";

    ShopTestHost host;
    net::GameSession& session = *host.session;
    session.own.nickname = u"Alice";
    session.own.level = 3;
    session.own.money = 125000;
    session.own.cash = 3000;
    session.clubMembership = 2;
    session.membershipExpiry = u"2027-01-31 23:59";
    scenes::SceneShop shop;
    shop.SetHost(&host);
    shop.Show(true);
    shop.Enter();
    shop.OnCommand({&shop, scenes::shop_control::kFirstShopCard, 0, gui::CommandCode::Event});
    shop.OnMessage(scenes::shop_message::kOpenPurchase, 1, 0);
    shop.LayoutChildren(kWidth, kHeight);
    ASSERT_TRUE(shop.Purchase()->IsVisible());

    ExpectScreenMatchesReference(device, shop, "scenes_shop", ReferencePath());
}

// On a 1920 x 1080 client the shop stood in the top left corner. Its layout lies in the middle on the
// tiles, which fill the client; the messenger opens at the layout's right and the purchase window over it.
TEST(ShopScreenGl, TheTiledBackgroundCoversALargeWindowAndDrifts) {
    constexpr int kLargeWidth = 1920, kLargeHeight = 1080;
    GlScreen screen(kLargeWidth, kLargeHeight);
    if (!screen.gl.device) {
        GTEST_SKIP() << "no GL context: " << screen.gl.error;
    }
    RenderDevice& device = *screen.gl.device;
    ASSERT_TRUE(screen.OpenUiSets()) << "the generated packages are missing";
    ShopTestHost host;
    host.clientWidth = kLargeWidth;
    host.clientHeight = kLargeHeight;
    scenes::Messenger messenger(&host);
    host.messenger = &messenger;
    scenes::SceneShop shop;
    shop.SetHost(&host);
    shop.Show(true);
    shop.Enter();
    shop.SetSize(kLargeWidth, kLargeHeight);
    shop.Resize(kLargeWidth, kLargeHeight);
    shop.LayoutChildren(kLargeWidth, kLargeHeight);
    shop.OnCommand({&shop, scenes::shop_control::kMessenger, 0, gui::CommandCode::Event});
    shop.OnCommand({&shop, scenes::shop_control::kFirstShopCard, 0, gui::CommandCode::Event});
    shop.OnMessage(scenes::shop_message::kOpenPurchase, 1, 0);
    ASSERT_TRUE(messenger.IsVisible() && shop.Purchase()->IsVisible());
    EXPECT_EQ(shop.Layout()->ScreenX(), (kLargeWidth - 1024) / 2);
    EXPECT_EQ(shop.Layout()->ScreenY(), (kLargeHeight - 768) / 2);
    // Beside the centred layout the messenger has room: it opens over none of the shop's controls.
    const auto box = layout_test::ScreenBox("messenger", messenger);
    for (const gui::ScreenRect& r : gui::ShownControls(*shop.Layout()))
        EXPECT_FALSE(layout_test::Overlap(box, {"control", r.left, r.top, r.right, r.bottom}))
            << "the messenger covers a control at " << r.left << ", " << r.top;
    // Only windows lie over the messenger, no panel of the shop (the item preview did).
    bool drawn = false;
    layout_test::ForEachShown(shop, [&](const gui::Widget& w) {
        drawn = drawn || &w == &messenger;
        if (!drawn || gui::WidgetRouter::IsInDialog(&w, &shop)) return;
        EXPECT_FALSE(layout_test::Overlap(layout_test::ScreenBox("control", w),
                                          layout_test::ScreenBox("messenger", messenger)))
            << "control " << w.Id() << " lies over the messenger";
    });
    // The right and lower edges of the window lie under no widget: only the background covers them.
    const auto corner = [](const platform::Image& frame, int x0, int y0) {
        std::vector<std::uint8_t> pixels;
        for (int y = y0; y < y0 + 40; ++y)
            for (int x = x0; x < x0 + 40; ++x)
                for (int c = 0; c < 3; ++c)
                    pixels.push_back(frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4 + c]);
        return pixels;
    };
    const platform::Image before = DrawScreenFrame(device, shop);
    ASSERT_GT(before.width, 0u);
    ExpectFrameMatchesReference(
        before, "scenes_shop_large",
        std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/shop_large_reference.png");
    for (const auto& [x, y] : {std::pair{kLargeWidth - 40, kLargeHeight - 40},
                               std::pair{kLargeWidth - 40, 300}, std::pair{700, kLargeHeight - 40}}) {
        const std::vector<std::uint8_t> pixels = corner(before, x, y);
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0), static_cast<long>(pixels.size()))
            << "black at " << x << ", " << y;
    }
    // Twenty update ticks move the tiles two pixels: the same corner shows another part of them.
    for (int i = 0; i < 20; ++i) shop.Update(0, 0);
    EXPECT_NEAR(shop.ScrollTimer(), 2.0f, 1e-3f);
    const platform::Image after = DrawScreenFrame(device, shop);
    EXPECT_NE(corner(before, kLargeWidth - 40, kLargeHeight - 40),
              corner(after, kLargeWidth - 40, kLargeHeight - 40));
}

}  // namespace
