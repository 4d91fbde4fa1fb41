#pragma once
// The dictionary window's controls, created afresh each time the window loads. Every control
// carries its conventional name as objectName ("txtSearch", "lstdata", ...).

#include "data/DictionaryConfig.h"

class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QPushButton;
class QLabel;
class QWidget;
class QSize;

namespace tolvane::richtext {
class RichTextBox;
}

namespace tolvane::dictwindow {

class WordList;
class SearchBox;

struct DictionaryControls {
    QWidget* form = nullptr; // the window's client area; owns every control below

    QPushButton* Command1 = nullptr; // "Get New Word"
    richtext::RichTextBox* rtb1 = nullptr; // King James only; nullptr elsewhere
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdend = nullptr;
    QPushButton* cmdsave = nullptr;
    QPushButton* cmdcancel = nullptr;
    SearchBox* txtSearch = nullptr;
    QLineEdit* txtForename = nullptr;  // headword box, read-only
    QPlainTextEdit* txtSurname = nullptr; // definition box, read-only, multi-line
    WordList* lstdata = nullptr;
    QLabel* Label3 = nullptr; // "Scripture", King James only
    QLabel* Label2 = nullptr; // "Definition"
    QLabel* Label1 = nullptr; // "Enter a Word or Select a Word"
};

// The window's client area as designed: 6735 x 3720 twips. It is also its smallest size.
QSize dictionaryFormSize();

// Places every control. `growth` is how much larger than designed the client area is (no
// growth: every control exactly at its designed place): the word list grows downwards, the
// headword, definition and scripture boxes grow to the right and (the last two) downwards,
// and Get New Word stays under the boxes. The window does this itself when it is resized.
void placeControls(const DictionaryControls& controls, const data::DictionaryConfig& config,
                   const QSize& growth);

// Creates the window's client area with every control in creation order,
// in its place and initial state, and the window's tab order.
DictionaryControls buildDictionaryLayout(const data::DictionaryConfig& config,
                                         QWidget* parent = nullptr);

} // namespace tolvane::dictwindow
