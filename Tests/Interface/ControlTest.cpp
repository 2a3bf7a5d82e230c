#include "DialogFixture.h"
#include "Environment/EventKeyList.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/KeyEvent.h"
#include "Environment/Subscriber.h"
#include "Foundation/Colour.h"
#include "Foundation/StringSetting.h"
#include "Interface/ActionSubscriber.h"
#include "Interface/Button.h"
#include "Interface/DialogEvent.h"
#include "Interface/EditText.h"
#include "Interface/StaticText.h"
#include "Project/TextStyle.h"

using namespace tarnwick;

namespace {

struct ItemRect {
    std::int16_t left, top, right, bottom;
    bool operator==(const ItemRect&) const = default;
};

ItemRect hostRect(const DialogControl& control) {
    ItemRect r{};
    host::DGGetItemRect(control.getDialogId(), static_cast<std::int16_t>(control.getItemId()), r.left, r.top,
                        r.right, r.bottom);
    return r;
}

// Keeps digits out of an edit field, as a handler of typed characters does.
class NoDigits : public Subscriber {
public:
    void subscribe(EventKeyList& keys) const override {
        keys.append(InterfaceEvent::kSource, KeyEvent::kType);
    }
    bool receive(const Event& event) override {
        const auto& key = dynamic_cast<const KeyEvent&>(event);
        if (key.getCharacter() >= '0' && key.getCharacter() <= '9')
            sendItemMessage(key, std::make_shared<ItemMessage>(0));
        return true;
    }
};

class Clicks : public ActionSubscriber {
public:
    bool handle(const ActionEvent&) override {
        ++count;
        return true;
    }
    int count = 0;
};

// Writes down under its name when its host item is made and when it hears the dialog open.
class Witness : public Button {
public:
    Witness(const ControlLink& link, std::string name, std::vector<std::string>& log)
        : Button(link), name_(std::move(name)), log_(log) {}
    void createItem(std::int16_t hostPanel) override {
        log_.push_back("item " + name_);
        Button::createItem(hostPanel);
    }
    bool publish(const Event& event) override {
        if (const auto* opening = dynamic_cast<const DialogEvent*>(&event);
            opening && opening->getMethod() == DialogEvent::kOpened)
            log_.push_back("opened " + name_);
        return Button::publish(event);
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

}   // namespace

using ControlTest = DialogFixture;

TEST_F(ControlTest, TheOpeningAndTheHostItemsReachTheControlsInTheOrderTheyCameOwnedOrBorrowed) {
    std::vector<std::string> log;
    Witness borrowed(ControlLink(), "borrowed", log);
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        borrowed.bind(ControlLink(5, &d));
        DialogControl::make<Witness>(ControlLink(3, &d), "owned", log);
    };
    dialog.open();
    EXPECT_EQ(log,
              (std::vector<std::string>{"item borrowed", "item owned", "opened borrowed", "opened owned"}));
}

TEST_F(ControlTest, AControlBoundLaterJoinsItsPanelAtEveryOpeningUntilEitherGoes) {
    Clicks clicks, okClicks;
    Button other{ControlLink()};   // made unbound, as a dialog's member is
    Button outliving{ControlLink()};
    other.subscribe(clicks);
    std::int16_t linkDialog = -1;
    {
        TestDialog dialog(100);
        dialog.onInitialise = [&](TestDialog& d) {
            other.bind(ControlLink(5, &d));
            DialogControl::make<Button>(ControlLink(1, &d)).subscribe(okClicks);   // the dialog's own OK
            other.setItemId(6);   // it has its item already: nothing changes
            EXPECT_EQ(other.getItemId(), 5);
            linkDialog = ControlLink(5, &d).getDialogId();
            EXPECT_EQ(linkDialog, d.getPanelId());
        };
        for (int opening = 1; opening <= 2; ++opening) {
            script(R"([{"do":"click","item":5},{"do":"click","item":5},{"do":"click","item":1}])");
            EXPECT_EQ(dialog.open(), kDialogAccepted);
            EXPECT_EQ(clicks.count, 2 * opening);
            EXPECT_EQ(okClicks.count, opening);   // binding made no OK button of its own before the dialog's
            EXPECT_EQ(dialog.findControl(5), nullptr);   // the closed dialog let it go
        }
        {
            Button passing{ControlLink()};
            passing.bind(ControlLink(3, &dialog));
            EXPECT_EQ(dialog.findControl(3), &passing);
        }
        EXPECT_EQ(dialog.findControl(3), nullptr);   // gone with its owner
        outliving.bind(ControlLink(9, &dialog));     // the panel goes first: nothing dangles
        EXPECT_EQ(dialog.findControl(9), &outliving);
    }
    EXPECT_EQ(outliving.getDialogId(), 0);
    EXPECT_NE(linkDialog, 0);
    EXPECT_EQ(ControlLink(5, nullptr).getDialogId(), 0);
}

TEST_F(ControlTest, TheFirstControlOfAnItemToComeTakesItsEventsOwnedOrBorrowed) {
    Clicks borrowedClicks, ownedClicks;
    Button borrowed{ControlLink()};
    borrowed.subscribe(borrowedClicks);
    script(R"([{"do":"click","item":5},{"do":"click","item":1}])");
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        borrowed.bind(ControlLink(5, &d));
        DialogControl::make<Button>(ControlLink(5, &d)).subscribe(ownedClicks);
        EXPECT_EQ(d.findControl(5), &borrowed);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(borrowedClicks.count, 1);
    EXPECT_EQ(ownedClicks.count, 0);
}

TEST_F(ControlTest, GeometryChangesReachTheHostAsDifferencesAndShowAtOnce) {
    TestDialog dialog(100);
    std::vector<ItemRect> rects;
    std::vector<ScreenPoint> positions;
    dialog.onOpened = [&](TestDialog& d) {
        auto& label = DialogControl::make<StaticText>(ControlLink(3, &d));   // 10, 10 - 210, 28
        label.move(ScreenPoint(20, 40));
        rects.push_back(hostRect(label));
        label.growBy(ScreenPoint(5, 2));
        rects.push_back(hostRect(label));
        label.moveGrowBy(ScreenPoint(-5, -2), ScreenPoint(1, 1));
        rects.push_back(hostRect(label));
        label.resize(ScreenPoint(100, 10));
        rects.push_back(hostRect(label));
        // While the host defers moves, the control still reports where it put the item.
        host::DGBeginMoveGrowItems(d.getPanelId());
        label.moveBy(ScreenPoint(10, 0));
        positions.push_back(label.getPosition());
        rects.push_back(hostRect(label));
        host::DGEndMoveGrowItems(d.getPanelId());
        rects.push_back(hostRect(label));
        auto& empty = DialogControl::make<StaticText>(ControlLink(5, &d), StaticText::kLeft, 0);   // no rows
        empty.setPosition(ScreenPoint(1, 2));
        positions.push_back(empty.getPosition());
        empty.setPosition(ScreenPoint(7, 7), 3);   // beyond the one cache row: ignored
        positions.push_back(empty.getPosition(3));
    };
    dialog.open();
    const std::vector<ItemRect> expected = {{20, 40, 220, 58}, {20, 40, 225, 60}, {21, 41, 221, 59},
                                            {21, 41, 121, 51}, {21, 41, 121, 51}, {31, 41, 131, 51}};
    EXPECT_EQ(rects, expected);
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[0].x, 31);
    EXPECT_EQ(positions[1].x, 1);
    EXPECT_EQ(positions[1].y, 2);
    EXPECT_EQ(positions[2].x, 10);   // the host's, not the ignored 7
}

TEST_F(ControlTest, AFontReachesTheHostAsSizeBitsOfWholePointsAndStyleBits) {
    constexpr double kMillimetresPerPoint = 0.3527777777778;
    TestDialog dialog(100);
    std::vector<int> fonts;
    dialog.onOpened = [&](TestDialog& d) {
        auto& field = DialogControl::make<EditText>(ControlLink(4, &d));
        for (const double points : {9.4, 9.5, 11.0, 12.0})
            for (const std::uint16_t style : {std::uint16_t{0}, std::uint16_t{1}}) {
                field.setFont(TextStyle(style, points * kMillimetresPerPoint));
                fonts.push_back(host::DGGetItemFont(d.getPanelId(), 4));
            }
    };
    dialog.open();
    EXPECT_EQ(fonts, (std::vector<int>{8, 24, 4, 20, 4, 20, 0, 16}));
}

TEST_F(ControlTest, TextControlsReadAndWriteTheirItems) {
    script(R"([{"do":"setText","item":4,"text":"a1b2c"},{"do":"click","item":1}])");
    TestDialog dialog(100);
    NoDigits noDigits;
    String typed;
    std::vector<std::uint16_t> colours;
    dialog.onInitialise = [&](TestDialog& d) {
        auto& label = DialogControl::make<StaticText>(ControlLink(3, &d));
        auto& field = DialogControl::make<EditText>(ControlLink(4, &d));
        field.subscribe(noDigits);
        label.setCell(StringSetting(String("Name:")));
        label.setTextColor(Colour(1.0, 0.5, 0.0, 1.0));
        field.setFontStyle(16 | 4);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        auto& field = dynamic_cast<EditText&>(*d.findControl(4));
        typed = field.getText();
        EXPECT_EQ(field.getText(0, 0), String());   // the cell form stays the base's: empty
        EXPECT_EQ(field.getSetting()->getText(), String("abc"));
        EXPECT_EQ(dynamic_cast<StaticText&>(*d.findControl(3)).getText(), String("Name:"));
        EXPECT_EQ(host::DGGetItemFont(d.getPanelId(), 4), 20);
        colours = host::DGGetItemColors(d.getPanelId(), 3);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(typed, String("abc"));
    EXPECT_EQ(colours, (std::vector<std::uint16_t>{65535, 32768, 0, 0, 0, 0}));
}
