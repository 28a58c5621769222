#pragma once

namespace zelp {

// Shows the designer's help: the help window in the program, a recorder in tests.
class HelpService {
public:
    virtual ~HelpService() = default;
    // A context without a topic of its own shows the contents.
    virtual void showTopic(int context) = 0;
    virtual void showContents() = 0;
};

// nullptr: no help is shown.
void setHelpService(HelpService *service);
HelpService *helpService();

// Through the installed service; nothing happens without one.
void ShowHelpTopic(int context);
void ShowHelpContents();

} // namespace zelp
