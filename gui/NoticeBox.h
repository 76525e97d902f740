#pragma once
// Least form of the toolkit's notice box: a caption, up to six lines and a button layout. When a
// button is pressed the box hides and posts its result code with the button id to the
// user-interface queue through the poster the application installs.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/Widget.h"

namespace gui {

class NoticeBox : public Panel {
public:
    static constexpr std::uint32_t kDefaultResult = 1024;
    static constexpr std::uint32_t kFirstButtonId = 2049;  // buttons 2049..2053
    static constexpr int kLineCount = 6;
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 160;

    NoticeBox();

    // Lines cleared, result code 1024, layout 0.
    void Reset();
    void SetLayout(int layout) { layout_ = layout; }
    void SetCaption(const WString& caption) { caption_ = caption; }
    void SetLine(int index, const WString& text);
    void SetResultCode(std::uint32_t code) { result_ = code; }

    int Layout() const { return layout_; }
    const WString& Caption() const { return caption_; }
    const WString& Line(int index) const;
    std::uint32_t ResultCode() const { return result_; }

    // Records the box in the journal when it becomes visible.
    void Show(bool visible) override;
    // A button of the box was pressed (index 0..4).
    void Press(int button);

    using Poster = std::function<void(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c)>;
    // Installed by the application: posts to its user-interface queue.
    static void SetPoster(Poster poster);
    // Installed by the application: one line per box shown ("BOX <caption>|<line>...").
    static void SetJournal(std::function<void(const WString& line)> journal);

private:
    WString caption_;
    std::array<WString, kLineCount> lines_;
    std::uint32_t result_ = kDefaultResult;
    int layout_ = 0;
};

}  // namespace gui
