#pragma once
// The application object: runs the main window modally and ends with it.

#include <string>

namespace pixalto::shell {

class CMainApp {
  public:
    // Runs the window; startFile, when not empty, is opened once it shows.
    // Returns false, as the program ends when the window closes.
    bool InitInstance(const std::string& startFile);
};

}  // namespace pixalto::shell
