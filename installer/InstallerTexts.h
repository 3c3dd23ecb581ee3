#pragma once
// Every text the installer shows, in one table, as Windows-1252.

#include "base/Text.h"

namespace vendora {

enum class InstallerMessage {
    UpdatePrompt,
    InstallPrompt,
    FontReport,
    BackupFailureReport,
    CopyFailureReport,
    UpdateCompletePrompt,
    InstallCompletePrompt,
};

struct MessageTexts {
    AnsiString Title;
    AnsiString Text;
    AnsiString Buttons;
};

// Title, text and buttons of a message, the four yes/no prompts ending with the version text in italics.
MessageTexts InstallerMessageTexts(InstallerMessage message);

// "Version du Mercredi  2/ 6/2010 16h47"
AnsiString VersionText();

// The error that refuses a target folder whose archive path would not fit in a path of 255 characters.
AnsiString TargetTooLongText(const AnsiString& archivePath);

// A message as the log quotes it: its markup tags dropped, its paragraphs joined by " / ".
AnsiString PlainText(const AnsiString& markup);

// The waiting window of the update: its caption and the text of its Label1.
AnsiString WaitingCaption();
AnsiString WaitingLabelText();

} // namespace vendora
