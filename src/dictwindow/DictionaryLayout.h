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

// Creates the window's client area (6735 x 3720 twips) with every control in creation order,
// in its place and initial state, and the window's tab order.
DictionaryControls buildDictionaryLayout(const data::DictionaryConfig& config,
                                         QWidget* parent = nullptr);

} // namespace tolvane::dictwindow
