#pragma once
// A scene host for the shop's tests: the front end's fake host that also records every notice and
// error box as "Caption|line1|line2|line3", and helpers that build replies and owned entries.

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "net/GameSession.h"
#include "net/Packet.h"
#include "tests/scenes/support/FakeSceneHost.h"

class ShopTestHost : public FakeSceneHost {
public:
    void ShowNotice(gui::Widget* parent, const WString& l1, const WString& l2, const WString& l3) override {
        boxes.push_back(Line(u"Notice", l1, l2, l3));
        PutUp(parent, u"Notice", {&l1, &l2, &l3});
    }
    void ShowError(gui::Widget* parent, const WString& l1, const WString& l2, const WString& l3) override {
        boxes.push_back(Line(u"Error", l1, l2, l3));
        PutUp(parent, u"Error", {&l1, &l2, &l3});
    }
    // The last box shown, or an empty text.
    WString LastBox() const { return boxes.empty() ? WString{} : boxes.back(); }

    // Adds an entry to the own record, as the sign-in's item list would.
    net::ItemEntry* Own(std::uint64_t serial, std::uint32_t itemId, std::uint32_t type, std::uint8_t usage,
                        std::uint8_t state = 0, std::uint32_t initial = 30, std::uint32_t remaining = 30) {
        net::ItemEntry* e = session->AllocItemEntry();
        e->serial = serial;
        e->itemId = itemId;
        e->type = type;
        e->usageKind = usage;
        e->state = state;
        e->initialValue = initial;
        e->remainingValue = remaining;
        if (!session->own.AddItem(serial, e)) {
            session->FreeItemEntry(e);
            return nullptr;
        }
        return e;
    }

    std::vector<WString> boxes;
    // Where a test gives one, the boxes also show as the application shows them: this box, over the
    // widget they were asked for, answering its buttons and keys.
    gui::NoticeBox* shownBox = nullptr;

private:
    void PutUp(gui::Widget* parent, const char16_t* caption, std::initializer_list<const WString*> lines) {
        if (!shownBox || !parent) return;
        parent->AddChild(shownBox);
        shownBox->Reset();
        shownBox->SetCaption(caption);
        int index = 0;
        for (const WString* l : lines)
            if (!l->empty()) shownBox->SetLine(index++, *l);
        shownBox->Show(true);
    }
    static WString Line(const char16_t* caption, const WString& l1, const WString& l2, const WString& l3) {
        WString line = caption;
        for (const WString* l : {&l1, &l2, &l3})
            if (!l->empty()) line += u"|" + *l;
        return line;
    }
};

// A received reply: the fields written by `write` behind the id.
inline std::unique_ptr<net::Packet> MakeReply(std::uint16_t id,
                                              const std::function<void(net::Packet&)>& write) {
    net::Packet out;
    out.Init(id);
    write(out);
    out.Finish();
    auto in = std::make_unique<net::Packet>();
    in->SetFrames(out.Data(), out.Size());
    return in;
}

// A sent request read back from the start of its fields.
inline std::unique_ptr<net::Packet> ReadBack(const net::Packet& sent) {
    auto in = std::make_unique<net::Packet>();
    in->SetFrames(sent.Data(), sent.Size());
    return in;
}
