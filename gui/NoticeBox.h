#pragma once
// The toolkit's notice box: a modal dialog with a caption, up to six lines and a button layout.
// When a button is pressed the box hides and posts (result code, button id, parameter) to the
// user-interface queue through the poster the application installs.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/Dialog.h"

namespace gui {

class Button;

class NoticeBox : public Dialog {
public:
    static constexpr std::uint32_t kDefaultResult = result_code::kNoticeDefault;
    static constexpr int kLineCount = 6;
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;
    static constexpr int kLayoutCount = 4;

    NoticeBox();

    // Lines cleared, result code 1024, parameter 0, layout 0.
    void Reset();
    // 0 OK (2049); 1 OK (2050) and Cancel (2051); 2 Yes (2052) and No (2053); 3 no button (the
    // owner hides the box). Other values are ignored.
    void SetLayout(int layout);
    void SetCaption(const WString& caption) { caption_ = caption, SetTitle(caption); }
    void SetLine(int index, const WString& text);
    void SetResultCode(std::uint32_t code) { result_ = code; }
    // The word posted as the third value (the item or request the answer is about).
    void SetParam(std::uint32_t param) { param_ = param; }

    int Layout() const { return layout_; }
    const WString& Caption() const { return caption_; }
    const WString& Line(int index) const;
    std::uint32_t ResultCode() const { return result_; }
    std::uint32_t Param() const { return param_; }
    // The buttons of the current layout, left to right (null past the layout's count).
    Button* LayoutButton(int index) const;

    // A button of the current layout was pressed (index 0 = left).
    void Press(int button);
    bool OnCommand(const CommandEvent& event) override;
    void Draw(Painter& painter, int x, int y) override;

    using Poster = std::function<void(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c)>;
    // Installed by the application: posts to its user-interface queue.
    static void SetPoster(Poster poster);
    // Posts through the installed poster (the common windows use it too).
    static void Post(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c);
    // Journals a box that shows: "BOX <caption>|<line>..." with the lines that are not empty.
    template <class Lines>
    static void JournalBox(const WString& caption, const Lines& lines) {
        WString line = u"BOX " + caption;
        for (const WString& text : lines) {
            if (!text.empty()) line += u"|" + text;
        }
        WriteJournal(line);
    }

protected:
    // "BOX <caption>|<line>..." when the box becomes visible.
    void JournalShown() override { JournalBox(caption_, lines_); }

private:
    WString caption_;
    std::array<WString, kLineCount> lines_;
    std::uint32_t result_ = kDefaultResult;
    std::uint32_t param_ = 0;
    int layout_ = 0;
    std::array<Button*, 2> buttons_{};
};

}  // namespace gui
