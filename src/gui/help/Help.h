#pragma once

#include <QString>
#include <vector>

class QPoint;
class QWidget;

// Help by context number. Controls carry their number in the dynamic property "helpContext"; a
// control without one uses its container's, and the main window's number is 90. Every number has
// a help topic (an HTML page in the program's resources) and a short what's-this text.
namespace impmap::gui {

inline constexpr int kWindowHelpContext = 90;
inline constexpr char kHelpContextProperty[] = "helpContext";

// Every context number the program uses, each with a topic and a what's-this text.
const std::vector<int>& HelpContextNumbers();

void SetHelpContext(QWidget* widget, int context);

// The first non-zero "helpContext" of widget and its parents, nearest first; 90 when there is
// none (also for no widget).
int HelpContextOf(const QWidget* widget);

// The resource path of the topic page for a context number ("qrc:" URLs take it without the
// colon); empty when there is no such topic.
QString HelpTopicPath(int context);
QString HelpContentsPath();

// The pop-up text of a context number; empty when there is none.
QString WhatsThisText(int context);

// Gives every widget under root (root included) that has a context number of its own the
// what's-this text of that number. Qt hands a what's-this request for a widget without a text on
// to its container, which matches the help context fallback.
void ApplyWhatsThis(QWidget* root);

// Shows the what's-this text for widget's context number at globalPosition (the "What's this?"
// entry of a right-click menu).
void ShowWhatsThis(const QWidget* widget, const QPoint& globalPosition);

} // namespace impmap::gui
