#pragma once

#include <QWidget>

#include <functional>
#include <string_view>

class QTextBrowser;

namespace cronovolta {

// The resource that holds the help of a language: the table's help file name
// ("\AJUDA.HLP") gives ":/help/ajuda.html".
QString helpResourceFor(std::string_view helpFileName);

// The program's own help, shown in a window of its own beside the main window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help of a language; false when the program carries no help by that name.
    bool showHelp(std::string_view helpFileName);
    QTextBrowser* browser() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser = nullptr;
};

// F1 in any window of the program, a dialog included, calls `open`. Qt's own shortcuts
// do not reach past a modal dialog; this key does. Lives as long as `owner`.
void installHelpKey(QObject* owner, std::function<void()> open);

} // namespace cronovolta
