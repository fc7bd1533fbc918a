// The five items: their highlights under the pointer, the sounds, and the panels they switch.
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuItems : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha"});
        writeIni("46,Alpha.zq7,5,10,2");
        start();
    }
    std::vector<bool> highlights() const {
        std::vector<bool> v;
        for (int i = 0; i < 5; ++i) v.push_back(highlighted(i));
        return v;
    }
    bool scorePanel() const { return c().scorePicture->visible && c().redWinsLabel->visible; }
    bool optionsPanel() const { return c().speedGauge->visible && c().keySlots[0]->visible; }
    bool modsPanel() const { return c().modsHeading->visible && c().levelRows[3]->visible; }
};

TEST_F(MenuItems, PointerOverAnItemLightsItOnceWithATink) {
    moveTo(kItem[2]);
    EXPECT_EQ(highlights(), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(menu->hoverItem(), std::optional<int>(2));
    EXPECT_EQ(backend.takeSounds(), std::vector<std::string>{kTink});
    moveTo({kItem[2].x + 5, kItem[2].y});
    EXPECT_TRUE(backend.takeSounds().empty());
}

// From one item straight onto another both stay lit until the pointer has passed over the menu
// background twice: the first move only forgets the item.
TEST_F(MenuItems, ItemToItemShowsBothUntilTwoBackgroundMoves) {
    moveTo(kItem[0]);
    moveTo(kItem[1]);
    EXPECT_EQ(highlights(), (std::vector<bool>{true, true, false, false, false}));
    moveTo(kMenuBackground);
    EXPECT_EQ(highlights(), (std::vector<bool>{true, true, false, false, false}));
    EXPECT_EQ(menu->hoverItem(), std::nullopt);
    moveTo(kMenuBackground);
    EXPECT_EQ(highlights(), std::vector<bool>(5, false));
    EXPECT_EQ(count(backend.takeSounds(), kTink), 2);
}

TEST_F(MenuItems, PointerOverALitHighlightOutsideTheWordKeepsItLit) {
    moveTo(kItem[0]);
    moveTo({10, 60});  // on START's highlight, left of its hot area
    EXPECT_TRUE(highlighted(0));
    EXPECT_EQ(menu->hoverItem(), std::nullopt);
    moveTo({12, 60});
    EXPECT_TRUE(highlighted(0));
    moveTo(kMenuBackground);
    EXPECT_FALSE(highlighted(0));
}

TEST_F(MenuItems, PointerOutsideEveryControlRunsTheBackgroundRuleOnce) {
    moveTo(kItem[4]);
    moveTo(kWindowBackground);
    EXPECT_TRUE(highlighted(4));
    moveTo(kWindowBackground);
    EXPECT_FALSE(highlighted(4));
}

struct PanelCase {
    int item;
    bool score, options, mods, helpScrolls;
};
void PrintTo(const PanelCase& p, std::ostream* os) {
    *os << "item " << p.item;
}

class ItemPanels : public MenuItems, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(ItemPanels, EachItemShowsItsViewWithAClick) {
    const PanelCase& p = GetParam();
    clickAt(kItem[p.item]);
    EXPECT_EQ(scorePanel(), p.score);
    EXPECT_EQ(optionsPanel(), p.options);
    EXPECT_EQ(modsPanel(), p.mods);
    EXPECT_EQ(c().helpTimer->enabled(), p.helpScrolls);
    EXPECT_EQ(backend.takeSounds(), std::vector<std::string>{kClick});
}

INSTANTIATE_TEST_SUITE_P(Views, ItemPanels,
                         ::testing::Values(PanelCase{1, false, false, true, false},
                                           PanelCase{2, false, true, false, false},
                                           PanelCase{3, false, false, false, true}));

TEST_F(MenuItems, OkLabelsSwapTheirPanelForTheTitle) {
    clickAt(kItem[2]);
    clickOn(*c().optionsOk);
    EXPECT_TRUE(scorePanel());
    EXPECT_FALSE(optionsPanel());
    clickAt(kItem[1]);
    clickOn(*c().modsOk);
    EXPECT_TRUE(scorePanel());
    EXPECT_FALSE(modsPanel());
}

// MODS while the mods panel shows only clicks: the idle countdown is not restarted either, so the
// demo comes 20 s after the first activation.
TEST_F(MenuItems, ModsTwiceOnlyClicksTheSecondTime) {
    clickAt(kItem[1]);
    backend.takeSounds();
    advance(10000);
    clickAt(kItem[1]);
    EXPECT_TRUE(modsPanel());
    EXPECT_EQ(backend.takeSounds(), std::vector<std::string>{kClick});
    advance(9999);
    EXPECT_TRUE(menu->isVisible());
    advance(1);
    EXPECT_TRUE(state->demoMode);
}

TEST_F(MenuItems, PointerOverAnItemRestartsTheIdleCountdown) {
    advance(15000);
    moveTo(kItem[3]);
    advance(19999);
    EXPECT_FALSE(state->demoMode);
    advance(1);
    EXPECT_TRUE(state->demoMode);
}

TEST_F(MenuItems, TitlePanelShowsZeroWinsAndTheGameRaisesThem) {
    EXPECT_EQ(c().redWinsLabel->caption(), "0");
    EXPECT_EQ(c().blueWinsLabel->caption(), "0");
    MenuLink& link = *menu;
    link.setRedWins(3);
    EXPECT_EQ(link.redWins(), 3);
    EXPECT_EQ(c().redWinsLabel->caption(), "3");
    EXPECT_EQ(link.blueWins(), 0);
    EXPECT_EQ(c().redWinsLabel->left, 672);
    EXPECT_EQ(c().scorePicture->left, 340);
    EXPECT_EQ(c().titleLogo->top, 200);
}

}  // namespace
}  // namespace zib::test
