// What a player sees of the shop: the catalogue with a chosen cue, its detail rows and the purchase
// window, drawn through OpenGL and compared with a reference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "gui/TextInput.h"
#include "gui/UiResourceSet.h"
#include "platform/video/ImageFile.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/shop/ShopTestHost.h"
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

}  // namespace
