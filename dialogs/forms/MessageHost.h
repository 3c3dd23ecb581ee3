#pragma once
// The host the program's messages are rendered with, gathered from the services the program and start-up
// installed: the platform's files, the text engine, and the picture cache start-up keeps and the decoder
// where they are installed (a message without pictures needs neither, and a picture met without them says
// which is missing).

#include "html/HtmlHost.h"

namespace vendora {

HtmlHost InstalledHtmlHost();

} // namespace vendora
