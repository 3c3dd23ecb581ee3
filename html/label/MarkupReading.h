#pragma once
// What a screen reader reads of a message written in markup: its words without the tags, one static text
// per paragraph, each link as a link, and each pictured form element with the role of the control it
// shows (read-only: nothing can be typed into them). The reading stops where the painter stops, at a
// number the markup cannot hold.

#include "base/Text.h"
#include "gui/Accessible.h"

#include <vector>

namespace vendora {

// The elements of markup in reading order, their bounds left empty.
std::vector<AccessibleElement> ReadMarkup(const AnsiString& markup);

} // namespace vendora
