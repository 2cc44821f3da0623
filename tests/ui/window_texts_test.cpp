// What the window shows: every text whole at any scale, spin arrows that can be seen, mnemonics that
// each reach one control, and the spin fields' prefixes.
#include "canvas/gl_pelm.h"
#include "ui/icon_push_button.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>

namespace {

// The window at the size of the screen it opens on, with the icons of the data folder.
std::unique_ptr<GLObjectWindow> showScreenSizedWindow() {
    const DataFolderAsWorkingDirectory data;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    auto window = showWindow(screen.width(), screen.height());
    window->adjustSize();
    QApplication::processEvents();
    return window;
}

// The states in which the window shows different controls: each tab, and each surface panel open.
struct PanelState {
    const char* name;
    std::function<void(GLObjectWindow&)> enter;
};

const PanelState panelStates[] = {
    {"Curves tab", [](GLObjectWindow& w) { w.tabs->setCurrentIndex(0); }},
    {"revolution panel with the axis",
     [](GLObjectWindow& w) {
         w.tabs->setCurrentIndex(1);
         w.showRevMenu();
         w.axisCheck->setChecked(true);
         w.setAxisParms();
     }},
    {"Coons panel",
     [](GLObjectWindow& w) {
         w.tabs->setCurrentIndex(1);
         w.showCoonsMenu();
     }},
    {"extrude panel",
     [](GLObjectWindow& w) {
         w.tabs->setCurrentIndex(1);
         w.showExtMenu();
     }},
};

// How wide a control must be to show its text whole; 0 when it draws none.
int neededWidth(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->sizeHint().width();
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget) ||
        qobject_cast<QSpinBox*>(widget))
        return widget->sizeHint().width();
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // An icon button draws its picture alone when it has one.
        if (qobject_cast<IconPushButton*>(button) && !button->icon().isNull())
            return 0;
        // The text and the button's frame and margins, without the style's floor for buttons with
        // text (80 pixels in Fusion): a 50-pixel tool button shows "Zoom" whole.
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button).width();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title().isEmpty() ? 0 : group->minimumSizeHint().width();
    return 0;
}

// Where a control lies outside an ancestor, that part is not drawn. A scrolling page may run past
// its viewport's top and bottom, and so past those of everything around it, never past its sides.
QString clippingAncestor(QWidget* widget) {
    QWidget* window = widget->window();
    bool scrolled = false;
    for (QWidget* ancestor = widget->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        const QRect inside = widget->rect().translated(widget->mapTo(ancestor, QPoint(0, 0)));
        const QRect room = ancestor->rect();
        const auto* scroll = qobject_cast<QAbstractScrollArea*>(ancestor->parentWidget());
        scrolled = scrolled || (scroll && scroll->viewport() == ancestor);
        const bool whole =
            scrolled ? inside.left() >= room.left() && inside.right() <= room.right() : room.contains(inside);
        if (!whole)
            return ancestor->metaObject()->className() + QStringLiteral(" \"") + ancestor->objectName() +
                   QStringLiteral("\"");
        if (ancestor == window)
            break;
    }
    return QString();
}

QString describe(QWidget* widget) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* spin = qobject_cast<QSpinBox*>(widget))
        text = spin->prefix() + QString::number(spin->maximum());
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        text = group->title();
    return widget->metaObject()->className() + QStringLiteral(" \"") + text + QStringLiteral("\"");
}

// The Alt key of a text's mnemonic, or 0.
int mnemonicKey(const QString& text) {
    const QKeySequence mnemonic = QKeySequence::mnemonic(text);
    return mnemonic.isEmpty() ? 0 : mnemonic[0].key();
}

// Texts sharing a mnemonic key, one line for each key held by more than one.
QStringList clashes(const QStringList& texts) {
    std::map<int, QStringList> byKey;
    for (const QString& text : texts)
        if (const int key = mnemonicKey(text))
            byKey[key].append(text);
    QStringList lines;
    for (const auto& [key, holders] : byKey)
        if (holders.size() > 1)
            lines.append(QKeySequence(key).toString() + QStringLiteral(": ") +
                         holders.join(QStringLiteral(", ")));
    return lines;
}

} // namespace

// "Open with Interpolation" and "Closest Point to Axis" lost their last letters in the 200-pixel
// column; so did wider texts at larger scales. Also run under QT_SCALE_FACTOR 1.25 and 2.
TEST(WindowLayout, NoTextOrControlIsCutOff) {
    KNOTWORK_REQUIRE_APP();
    auto window = showScreenSizedWindow();
    for (const PanelState& state : panelStates) {
        SCOPED_TRACE(state.name);
        state.enter(*window);
        QApplication::processEvents();
        int checked = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const int needed = neededWidth(widget);
            const bool control = needed > 0 || qobject_cast<QAbstractButton*>(widget);
            if (!control || !widget->isVisible())
                continue;
            ++checked;
            EXPECT_GE(widget->width(), needed) << describe(widget).toStdString();
            EXPECT_GE(widget->height(), widget->minimumSizeHint().height()) << describe(widget).toStdString();
            const QString clipper = clippingAncestor(widget);
            EXPECT_TRUE(clipper.isEmpty())
                << describe(widget).toStdString() << " sticks out of " << clipper.toStdString();
        }
        EXPECT_GT(checked, 20);
        // The tab bar holds every tab at its full size, neither elided nor scrolled.
        EXPECT_GE(window->tabs->tabBar()->width(), window->tabs->tabBar()->sizeHint().width());
    }
}

// The arrows were drawn in the panels' light text colour on a light button, nearly invisible.
TEST(WindowLayout, SpinArrowsStandOutFromTheirButtons) {
    KNOTWORK_REQUIRE_APP();
    auto window = showScreenSizedWindow();
    int checked = 0;
    for (const PanelState& state : panelStates) {
        SCOPED_TRACE(state.name);
        state.enter(*window);
        QApplication::processEvents();
        for (QSpinBox* spin : window->findChildren<QSpinBox*>()) {
            if (!spin->isVisible())
                continue;
            ++checked;
            // Values inside the range, so neither arrow is drawn disabled.
            spin->setValue(spin->minimum() + 1);
            const QImage image = spin->grab().toImage();
            const qreal ratio = image.devicePixelRatio();
            QStyleOptionSpinBox option;
            option.initFrom(spin);
            option.subControls = QStyle::SC_All;
            option.buttonSymbols = spin->buttonSymbols();
            option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
            option.frame = spin->hasFrame();
            for (const QStyle::SubControl part : {QStyle::SC_SpinBoxUp, QStyle::SC_SpinBoxDown}) {
                const QRect button = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, part, spin);
                ASSERT_FALSE(button.isEmpty());
                // The middle of the button, clear of its borders: the arrow is there or nowhere.
                const QRect middle = button.adjusted(button.width() / 4, button.height() / 4,
                                                     -button.width() / 4, -button.height() / 4);
                int darkest = 255;
                for (int y = int(middle.top() * ratio); y <= int(middle.bottom() * ratio); ++y)
                    for (int x = int(middle.left() * ratio); x <= int(middle.right() * ratio); ++x)
                        darkest = std::min(darkest, image.pixelColor(x, y).lightness());
                EXPECT_LT(darkest, 128)
                    << describe(spin).toStdString() << (part == QStyle::SC_SpinBoxUp ? " up" : " down");
            }
        }
    }
    EXPECT_GE(checked, 8);
}

// "&Scale" and "&Smooth" both took Alt+S, which then reached neither.
TEST(WindowTexts, EachMnemonicIsUniqueWhereItCompetes) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    // Buttons, labels, group titles, tabs and the menu bar's titles all answer Alt in the whole window.
    QStringList windowTexts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            windowTexts.append(button->text());
        else if (auto* label = qobject_cast<QLabel*>(widget))
            windowTexts.append(label->text());
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            windowTexts.append(group->title());
    }
    for (int i = 0; i < window->tabs->count(); ++i)
        windowTexts.append(window->tabs->tabText(i));
    const auto* menuBar = window->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    for (QAction* title : menuBar->actions()) {
        windowTexts.append(title->text());
        // A menu's items compete only among themselves, while it is open.
        QStringList items;
        for (QAction* item : title->menu()->actions())
            items.append(item->text());
        const QStringList inMenu = clashes(items);
        EXPECT_TRUE(inMenu.isEmpty())
            << title->text().toStdString() << ": " << inMenu.join("; ").toStdString();
    }
    const QStringList inWindow = clashes(windowTexts);
    EXPECT_TRUE(inWindow.isEmpty()) << inWindow.join("; ").toStdString();

    // Each mnemonic of a shown button presses that button.
    QApplication::setActiveWindow(window.get());
    int pressed = 0;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const int key = mnemonicKey(button->text());
        if (!key || !button->isVisible())
            continue;
        SCOPED_TRACE(button->text().toStdString());
        QSignalSpy spy(button, &QAbstractButton::pressed);
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), Qt::AltModifier);
        EXPECT_EQ(spy.count(), 1);
        ++pressed;
    }
    EXPECT_GE(pressed, 8);
}

// The prefixes read "Parmameter" for "Parameter".
TEST(WindowTexts, SpinFieldsShowTheirPrefixesSpelledRight) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    const struct {
        QSpinBox* spin;
        const char* prefix;
        int minimum, maximum, step;
    } cases[] = {
        {window->lineThicknessSpin, "Line Thickness: ", 1, 10, 1},
        {window->orderSpin, "Curve Order: ", 1, 99, 1},
        {window->paramIncSpin, "Parameter inc: ", 1, 1000, 1},
        {window->weightSpin, "Point Weight: ", 0, 1000, 1},
        {window->uIncSpin, "u-Parameter inc: ", 1, 1000, 1},
        {window->vIncSpin, "v-Parameter inc: ", 1, 1000, 1},
        {window->degreesSpin, "", 1, 360, 10},
        {window->distanceSpin, "Distance: ", 0, 1000, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spin->objectName().toStdString());
        EXPECT_EQ(c.spin->prefix(), QString::fromLatin1(c.prefix));
        EXPECT_EQ(c.spin->minimum(), c.minimum);
        EXPECT_EQ(c.spin->maximum(), c.maximum);
        EXPECT_EQ(c.spin->singleStep(), c.step);
    }
}
