#pragma once
// The search window. For now a plain window with its search field, enough for the main window's
// "Search All Documents" command; the search itself comes with its own work.

#include <QWidget>

class QLineEdit;

class TSearchForm : public QWidget {
    Q_OBJECT

  public:
    explicit TSearchForm(QWidget* parent = nullptr);

    QLineEdit* SearchEdit = nullptr;
};

extern TSearchForm* SearchForm;
