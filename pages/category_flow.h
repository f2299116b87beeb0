// What a double-click on a category does, the same in both windows: the flow decides, the
// window carries it out through a view it implements in its own toolkit.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "pages/page_dispatch.h"

namespace pages {

// What the flow asks of a main dialog.
class ICategoryView {
public:
    virtual ~ICategoryView() = default;
    // The page frame's caption (UTF-8).
    virtual void SetFrameCaption(std::string_view utf8Caption) = 0;
    // The page pane's text (page text, GBK).
    virtual void SetPaneText(const std::string& gbkText) = 0;
    // Paints what changed, the controls included, before the handler goes on.
    virtual void PaintNow() = 0;
    // A message box (GBK texts); returns once it is closed.
    virtual void ShowMessage(std::string_view gbkText, std::string_view gbkCaption) = 0;
    // Opens a new dead-pixel test window, owned by the dialog.
    virtual void OpenPixelTest() = 0;
    // Opens the keyboard test window over the dialog; returns once it is open.
    virtual void OpenKeyboardTest() = 0;
    // Runs `command` and streams its output into the pane; returns once the run has ended
    // (finished, failed, or ended by a close of the dialog).
    virtual void RunSummary(const std::string& command) = 0;
    // The summary run has ended and its caption is set: a close asked for during the run
    // takes effect now.
    virtual void SummaryEnded() = 0;
};

class CCategoryFlow {
public:
    // `sources` and `*pStrings` belong to the dialog and outlive the flow; `summaryCommand`
    // is the command line the summary page runs.
    CCategoryFlow(ICategoryView& view, const PageSources& sources, CPageStrings* pStrings,
                  std::string summaryCommand)
        : m_view(view),
          m_sources(sources),
          m_pStrings(pStrings),
          m_strSummaryCommand(std::move(summaryCommand)) {}

    // The pane's opening text.
    void ShowWelcome();
    // A double-click on the category at `position` (-1: nothing selected). Ignored while the
    // summary runs: one category at a time.
    void OnDoubleClick(int position);
    // True while the summary runs.
    bool Running() const { return m_bRunning; }

private:
    void RunSummary(int position);

    ICategoryView& m_view;
    PageSources m_sources;
    CPageStrings* m_pStrings;
    std::string m_strSummaryCommand;
    bool m_bRunning = false;
};

}  // namespace pages
