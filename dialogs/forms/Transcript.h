#pragma once
// The transcript of a run: one record a line, UTF-8, written as the run goes (flushed after each record,
// so that a run that dies leaves what it did). The format is stable; tests read it. FrameworkDialogs
// writes it; the window back end tells what input it took and what its windows did when it takes input
// from a script.
//
//   record  := KIND ( " " NAME "=" VALUE )*
//   VALUE   := a number, or a double-quoted text in which \\ \" \r \n \t and \xHH (other codes below 32)
//              stand for themselves; every other character is written as is, in UTF-8
//
// Records of the installer's windows:
//   message title="..." text="..." buttons="Oui#13Non" colour=0    a call of ShowHtmlMessage, as given
//   answer result=1 event="key Return" line=3                      how it ended; line 0 and event="default"
//                                                                  when the script was used up (Enter),
//                                                                  event="window" when no script told
//                                                                  (a person answered)
//   ignored event="char x" line=2                                  an event that chose nothing
//   attente show caption="..." label1="..."                        the waiting window comes up
//   attente hide                                                   the waiting window goes
//   input event="click Interrompre" line=4                         an event taken outside a message window
//   progress create | show | hide | destroy                        the progress window's life
//   progress caption text="..."   (and label1, label6, label2)     a text it is given
//   progress position value=7                                      its percentage
//   window show caption="..." B1="&Oui" ...                        a window as the back end shows it (show,
//                                                                  hide, destroy), with its controls' texts
//   error title="Erreur d'application" text="..."                  the error box of an uncaught error
//   access window="..." role="dialog" children=3                   what a screen reader finds in a window
//   access child=1 role="push button" name="Oui" value=""          once it waits (a message) or is shown,
//          states="default focusable" shortcut="O"                 then one record per element

#include "base/Text.h"
#include "gui/Accessible.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vendora {

struct TranscriptField {
    TranscriptField(std::string name, const AnsiString& ansiText); // a Windows-1252 text, quoted
    TranscriptField(std::string name, long long number);
    static TranscriptField Utf8(std::string name, const std::string& utf8Text); // a UTF-8 text, quoted

    std::string Name;
    std::string Value; // as written
};

// A quoted transcript value of a UTF-8 text.
std::string QuoteTranscriptValue(const std::string& utf8);

// The records of a window's accessible tree, the window first, as the transcript writes them (each a line
// without its newline). A screen reader's view read back from Windows gives the same lines.
std::vector<std::string> AccessibleRecords(const AccessibleTree& tree);

class Transcript {
public:
    // Receives each record as one line, newline included.
    using Sink = std::function<void(const std::string& line)>;
    explicit Transcript(Sink sink) : sink_(std::move(sink)) {}
    // Writes to a stream of the caller's (a test's string stream), which must outlive the transcript. The
    // program itself writes through stdio only, so that no iostream code is linked into it.
    template <class Stream>
    requires requires(Stream& s, const std::string& line) { s << line; }
    explicit Transcript(Stream& out)
        : sink_([&out](const std::string& line) {
              out << line;
              out.flush();
          }) {}
    // Writes to the file at hostPath (created or emptied), or to stderr when the path is empty.
    static std::unique_ptr<Transcript> Open(const std::string& hostPath);
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    void Write(const std::string& kind, std::initializer_list<TranscriptField> fields = {});
    void Write(const std::string& kind, const std::vector<TranscriptField>& fields);
    void WriteTree(const AccessibleTree& tree);
    // True when the transcript goes to the process's stderr.
    bool ToStderr() const { return toStderr_; }

private:
    Sink sink_;
    std::FILE* file_ = nullptr;
    bool toStderr_ = false;
};

} // namespace vendora
