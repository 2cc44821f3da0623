// A push button that shows its picture in place of its text once the picture has loaded.
#pragma once

#include <QPushButton>

// The old toolkit's buttons showed either a text or a picture: the text stays for the mnemonic,
// the tool tip and the reader of the screen, but only the picture is drawn. Without a picture
// (a missing icon file) the text is drawn instead, so the button still says what it does.
class IconPushButton : public QPushButton {
    Q_OBJECT

public:
    IconPushButton(const QString& text, const QString& iconFile, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
