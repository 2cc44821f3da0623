// The "Keys and Mouse" window: every canvas key, what each tool does with the mouse, and the menu
// shortcuts, in one place.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QMenuBar;
class QTextBrowser;

class KeysAndMouseDialog : public QDialog {
    Q_OBJECT

public:
    // One tool: the key that chooses it on the canvas (0: chosen with a button only), the tool it
    // chooses (a ToolMode), and what the mouse does in it, input by input.
    struct Action {
        QString input, effect;
    };
    struct Tool {
        QString name;
        int key;
        int toolMode;
        QString chosenBy;
        std::vector<Action> mouse;
    };

    QTextBrowser* text = nullptr;

    // The menu shortcuts are read from menus as they are now.
    KeysAndMouseDialog(const QMenuBar* menus, QWidget* parent);

    static std::vector<Tool> tools();
    // Inputs that act the same in every tool: the split handle, Delete, a new curve.
    static std::vector<Action> everyTool();
};
