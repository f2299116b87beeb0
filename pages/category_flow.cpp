#include "pages/category_flow.h"

#include "pages/dialog_texts.h"
#include "text/gbk.h"

namespace pages {

void CCategoryFlow::ShowWelcome() {
    m_view.SetPaneText(text::Utf8ToGbk(kWelcomeText));
}

void CCategoryFlow::OnDoubleClick(int position) {
    if (m_bRunning) return;
    switch (ActionOf(position)) {
        case CategoryAction::kBuildPage:
            m_view.SetFrameCaption(CaptionOf(position));
            m_view.SetPaneText(BuildTextPage(position, m_sources, m_pStrings));
            break;
        case CategoryAction::kRunSummary:
            RunSummary(position);
            break;
        case CategoryAction::kOpenPixelTest:
            m_view.ShowMessage(text::Utf8ToGbk(kPixelTestHint), text::Utf8ToGbk(kHintCaption));
            m_view.OpenPixelTest();
            break;
        case CategoryAction::kOpenKeyboardTest:
            m_view.OpenKeyboardTest();
            break;
        case CategoryAction::kNothing:
            break;
    }
}

void CCategoryFlow::RunSummary(int position) {
    m_view.SetFrameCaption(kWaitCaption);
    m_view.PaintNow();
    {
        // Cleared however the run ends.
        struct CRunningFlag {
            explicit CRunningFlag(bool& b) : m_b(b) { m_b = true; }
            ~CRunningFlag() { m_b = false; }
            CRunningFlag(const CRunningFlag&) = delete;
            CRunningFlag& operator=(const CRunningFlag&) = delete;
            bool& m_b;
        } running(m_bRunning);
        m_view.RunSummary(m_strSummaryCommand);
    }
    m_view.SetFrameCaption(CaptionOf(position));
    m_view.SummaryEnded();
}

}  // namespace pages
