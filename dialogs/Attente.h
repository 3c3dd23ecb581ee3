#pragma once
// The waiting window of an update (unit UAttente): a caption and a centred text telling the user to stop
// the running application. It has no behaviour of its own; the wait sets everything it shows.

#include "base/Text.h"

#include <memory>

namespace vendora {

class TAttente {
public:
    TAttente();
    virtual ~TAttente() = default;
    TAttente(const TAttente&) = delete;
    TAttente& operator=(const TAttente&) = delete;

    const AnsiString& Caption() const { return caption_; }
    virtual void SetCaption(const AnsiString& caption) { caption_ = caption; }
    // The centred, word-wrapped text; a carriage return breaks the line.
    const AnsiString& Label1() const { return label1_; }
    virtual void SetLabel1(const AnsiString& text) { label1_ = text; }
    // The bottom strip; nothing sets it.
    const AnsiString& Label2() const { return label2_; }

    bool Visible() const { return visible_; }
    // Modeless.
    virtual void Show() { visible_ = true; }
    virtual void Hide() { visible_ = false; }

private:
    AnsiString caption_;
    AnsiString label1_;
    AnsiString label2_;
    bool visible_ = false;
};

class DialogBackend;

// A new waiting window from the dialogs' back end, hidden, with its design texts.
std::unique_ptr<TAttente> CreateAttente(DialogBackend& dialogs);

} // namespace vendora
