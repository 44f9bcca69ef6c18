// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quillet::platform {

class BrowserEngine;
class MessageBoxes;

// The browser engine plugin, loaded the first time it is asked for and kept
// until the program ends. It is looked for next to the program (a build
// tree), then in the program's library folder of an installation;
// QUILLET_ENGINE_PLUGIN names the file instead. nullptr when it cannot be
// loaded; `why` then says so in a sentence for the user.
BrowserEngine *browserEngine(QString *why = nullptr);

// The same, and the reason shown in a message box when it cannot be loaded.
BrowserEngine *browserEngineOrSay(MessageBoxes *messages);

// Whether this process has loaded the engine.
bool browserEngineLoaded();

} // namespace quillet::platform
