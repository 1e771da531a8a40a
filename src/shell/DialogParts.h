#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <string>
#include <string_view>

class QAbstractItemView;
class QComboBox;
class QDateEdit;
class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QTabWidget;
class QTableView;
class QWidget;

// The pieces every dialog of the program is made of.

// OK (the default button) and, unless told otherwise, Cancel, wired to the dialog's accept and
// reject, captioned so in any language. Object names "ok" and "cancel".
// The program's first dialogs keep "Cancel"; those added since say "Renunta".
enum class CancelButton { None, Cancel, Renunta };
QDialogButtonBox* MakeDialogButtons(QDialog* dialog, CancelButton cancel = CancelButton::Cancel);

// Tab passes through a row of buttons as through any other controls: Qt's button box stands in
// for its first button and would send Tab from it back to itself.
void LetTabThroughButtons(QDialogButtonBox* box);
// Makes Shift+Tab go back exactly the way Tab goes, whatever order the controls were made in.
void MendTabChain(QWidget* window);

// A list in a dialog: Tab moves on to the next control instead of walking the cells.
void MakeDialogList(QAbstractItemView* list);
// Widens each column of a list to at least its header's text.
void FitColumnsToHeaders(QTableView* list);
// The dialog opens at the size it was last closed at, kept in the settings under `name`.
void RememberDialogSize(QDialog* dialog, const QString& name);

// A drop-down of names as wide as a usual name, however long the longest one: a long name never
// makes its dialog wider than the screen.
void KeepNameChooserNarrow(QComboBox* names);

// Names a control for screen readers: `name` is the text a sighted person reads beside it. A
// drop-down is named on Linux only by a label whose buddy it is, so one is given to it, unseen,
// when it has none; an editable one's text field is named too.
void NameForScreenReaders(QWidget* control, const QString& name);
// Names a set of pages by their tabs, for screen readers, which meet the set before a tab.
void NamePagesByTabs(QTabWidget* pages);

// A book's or a file's text as a tool tip that shows exactly its characters. Qt takes a tip that
// looks like HTML for rich text and would load what its tags name; such a tip is escaped and kept
// as rich text that reads as the original, blanks and line breaks kept.
QString PlainToolTip(const QString& text);

// A one-line edit without a length limit: what the catalogue cannot hold, it refuses itself.
QLineEdit* MakeEdit(const char* objectName, QWidget* parent);

// Lets only the digits 0 to 9 into an edit: no sign, no blank, no letter.
void AcceptDigitsOnly(QLineEdit* edit);

// Reads an integer field on OK. A text that is no integer is refused with "Please enter an
// integer." and the focus goes to that field (opened up first if it was greyed, so it can be
// mended); false then.
// With `bookNumber`, a value the catalogue cannot hold is refused the same way with "Please enter
// an integer between -32768 and 32767.".
bool ExchangeInteger(QLineEdit* edit, int& value, bool bookNumber = false);

// Reads a text field on OK. A text the catalogue cannot hold is refused with "Introduceti cel mult
// 255 de caractere.", the focus on that field and the text kept; false then. A text the user left
// as it was shown keeps `value`'s own bytes, also those that are not UTF-8.
bool ExchangeText(QLineEdit* edit, std::string& value);

// Texts cross between Qt and the catalogue as UTF-8.
inline std::string ToUtf8(const QString& s) {
    return s.toStdString();
}
inline QString FromUtf8(const std::string& s) {
    return QString::fromStdString(s);
}
// The bytes of a Qt byte array, for the core to read or write as they are.
inline std::string_view BytesOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// A number with its digits grouped as Romanian groups them ("1.000"), and with its noun
// ("1.000 de carti").
QString RomanianNumber(long long n);
QString RomanianCount(long long n, const char* singular, const char* plural);

// A date field written the ISO way ("2026-12-06"), with a calendar to pick from.
QDateEdit* MakeDateEdit(const char* objectName, QWidget* parent);
// Dates cross between Qt and the catalogue as ISO text.
inline std::string IsoText(const QDate& date) {
    return date.toString(Qt::ISODate).toStdString();
}
inline QDate FromIsoText(const std::string& text) {
    return QDate::fromString(QString::fromStdString(text), Qt::ISODate);
}
