// Qt's own texts (box buttons, the print dialog) in Simplified Chinese, like
// every other word of the console.
#pragma once

namespace pump::app {

// Installs Qt's Simplified Chinese translations from the system's Qt
// translations folder, whatever the desktop's language. Once per process; the
// translations stay installed until the program ends. False when they are not
// installed (Qt's texts then stay English).
bool InstallQtChineseTranslations();

}  // namespace pump::app
