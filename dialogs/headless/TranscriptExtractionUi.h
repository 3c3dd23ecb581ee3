#pragma once
// The progress window of a headless run: the archive's recorder, whose calls also go to the transcript,
// and whose interruption report goes through the message window like every other message.
//
// Transcript records (see Transcript.h):
//   progress create | show | hide | destroy
//   progress caption text="..."      progress label1 text="..."
//   progress label6 text="..."       progress label2 text="..."
//   progress position value=7

#include "archive/ExtractionUi.h"
#include "dialogs/headless/Transcript.h"

namespace vendora {

class TranscriptExtractionUi : public HeadlessExtractionUi {
public:
    explicit TranscriptExtractionUi(Transcript& transcript) : transcript_(transcript) {}

    void CreateProgress() override;
    void ShowProgress() override;
    void HideProgress() override;
    void DestroyProgress() override;
    void SetCaption(const AnsiString& text) override;
    void SetLabel1(const AnsiString& text) override;
    void SetLabel6(const AnsiString& text) override;
    void SetLabel2(const AnsiString& text) override;
    void SetPosition(int position) override;
    // The installed dialog back end's message window.
    int ShowHtmlMessage(const AnsiString& title, const AnsiString& text, const AnsiString& buttons,
                        TColor colour) override;

private:
    Transcript& transcript_;
};

} // namespace vendora
