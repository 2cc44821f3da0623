// The "About Knotwork" window: version, licence and the libraries the program is built on.
#pragma once

#include <QDialog>

class QLabel;

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    QLabel* text = nullptr;

    explicit AboutDialog(QWidget* parent);
};
