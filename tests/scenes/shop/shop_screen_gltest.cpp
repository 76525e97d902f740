// What a player sees of the shop: the catalogue with a chosen cue, its detail rows and the purchase
// window, drawn through OpenGL and compared with a reference.
#include <gtest/gtest.h>

#include "engine/render/RenderDevice.h"
#include "gui/Overlays.h"
#include "gui/TextInput.h"
#include "platform/video/ImageFile.h"
#include "scenes/shop/PurchaseDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "tests/common/GlTestDevice.h"
#include "tests/common/ImageCompare.h"
#include "tests/scenes/shop/ShopTestHost.h"

namespace {

using testsupport::DifferenceFromReference;
using testsupport::TestOutputDir;

constexpr std::uint16_t kWidth = 1024, kHeight = 768;

TEST(ShopScreenGl, TheCatalogueWithAPurchaseMatchesTheReferenceImage) {
    std::string error;
    std::unique_ptr<RenderDevice> glDevice = testsupport::MakeGlDevice(kWidth, kHeight, error);
    if (!glDevice) {
        GTEST_SKIP() << "no GL context: " << error;
    }
    testsupport::UiSets ui;
    ASSERT_TRUE(ui.Open()) << "the generated packages are missing";
    RenderDevice& device = *glDevice;

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

    device.SetClearColor(0xFF000000);
    ASSERT_TRUE(device.BeginFrame());
    ASSERT_TRUE(device.BeginScene());
    gui::DrawWidgetScreen(shop, &device);
    device.EndScene();
    device.Present();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    platform::SavePng(TestOutputDir() + "/scenes_shop.png", frame);
    gui::TextInputManager::ClearFocus();
    gui::ClearGuiPointers();

    const std::string reference = std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/data/shop_reference.png";
    EXPECT_LE(DifferenceFromReference(frame, reference), 0.005) << "reference " << reference;
}

}  // namespace
