#include "ui/com_select.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

#include "serial/port_discovery.h"
#include "ui/ana_menu.h"
#include "ui/console_style.h"
#include "ui/feedback.h"
#include "ui/plain_text.h"
#include "ui/windows.h"
#include "ui/wrapping_button.h"

namespace vela {

namespace {

constexpr int kPorts = kComPorts;
constexpr int kRowsPerColumn = 8;
// "Com 1" and "Com 2" belong to the window itself and "Com 3" to "Com 16" to
// the frame, so each set is its own option group.
constexpr int kWindowGroupPorts = 2;

// Port options in Frame2, in twips from the frame's top left.
constexpr int kPortColumnLeft[] = {240, 1560};
constexpr int kPortRowTop = 360;
constexpr int kPortRowStep = 345;
constexpr int kOptionWidth = 1215;
constexpr int kOptionHeight = 255;

constexpr int kFrame2Left = 360;
constexpr int kFrame2Top = 960;

QRadioButton* option(const QString& caption, const QString& name, QWidget* parent, const QRect& at) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(at);
    return button;
}

}  // namespace

com_select::com_select(Windows& windows) : windows_(windows) {
    setObjectName(QStringLiteral("com_select"));
    setWindowTitle(QStringLiteral("VELA TEST Ver 1.7    Karvo Elektronik Ltd"));
    setFixedSize(px(6180), px(4545));

    Label1 = new QLabel(QStringLiteral("Select correct Com Port to Communicate with Main Control Unit of TALVEN 256."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(twipsRect(360, 240, 5775, 495));

    Frame2 = new QGroupBox(QStringLiteral("Com Port"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twipsRect(kFrame2Left, kFrame2Top, 3015, 3255));

    Frame1 = new QGroupBox(QStringLiteral("Connection Speed"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(3840, 960, 1815, 1215));
    speed[0] = option(QStringLiteral("9600 Baud"), QStringLiteral("speed_0"), Frame1, twipsRect(240, 360, 1455, 255));
    speed[1] = option(QStringLiteral("19200 Baud"), QStringLiteral("speed_1"), Frame1, twipsRect(240, 720, 1455, 255));
    // Each option group is a button group of its own: a radio button's automatic
    // exclusivity would also weigh the options in the frames inside its parent.
    auto* speeds = new QButtonGroup(this);
    for (QRadioButton* button : speed) speeds->addButton(button);

    // Created after the frame, so the window's own options lie on top of it.
    auto* windowPorts = new QButtonGroup(this);
    auto* framePorts = new QButtonGroup(this);
    for (int i = 0; i < kPorts; ++i) {
        const int left = kPortColumnLeft[i / kRowsPerColumn];
        const int top = kPortRowTop + (i % kRowsPerColumn) * kPortRowStep;
        const bool onWindow = i < kWindowGroupPorts;
        QWidget* parent = onWindow ? static_cast<QWidget*>(this) : Frame2;
        const QRect at = onWindow ? twipsRect(kFrame2Left + left, kFrame2Top + top, kOptionWidth, kOptionHeight)
                                  : twipsRect(left, top, kOptionWidth, kOptionHeight);
        com1[i] = option(QStringLiteral("Com %1").arg(i + 1), QStringLiteral("com1_%1").arg(i), parent, at);
        (onWindow ? windowPorts : framePorts)->addButton(com1[i]);
        com1[i]->installEventFilter(this);
    }

    Command1 = new WrappingButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setText(QStringLiteral("OK"));
    Command1->setGeometry(twipsRect(3960, 2640, 1575, 615));
    connect(Command1, &QPushButton::clicked, this, &com_select::Command1_Click);
}

void com_select::Command1_Click() {
    const auto chosen = [](const QRadioButton* button) { return button->isChecked(); };
    if (std::none_of(com1.begin(), com1.end(), chosen)) {
        Feedback::message(this, QStringLiteral("Select Com Port Type."));
        return;
    }
    if (std::none_of(speed.begin(), speed.end(), chosen)) {
        Feedback::message(this, QStringLiteral("Select Speed Setting."));
        return;
    }
    hide();
    // The higher port stands: the window's options and the frame's are two groups.
    int com = 0;
    for (int i = 0; i < kPorts; ++i) {
        if (com1[i]->isChecked()) com = i + 1;
    }
    // First touch of the main window: it loads (and beeps) here.
    windows_.anaMenu().openPort(com, speed[0]->isChecked() ? 9600 : 19200, this);
}

bool com_select::eventFilter(QObject* watched, QEvent* event) {
    // Built as it is shown: adapters come and go while the window is open.
    if (event->type() == QEvent::ToolTip) {
        for (int i = 0; i < kPorts; ++i) {
            if (watched == com1[i])
                com1[i]->setToolTip(plainToolTip(QString::fromStdString(describeCom(i + 1, comTarget(i + 1)))));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void com_select::closeEvent(QCloseEvent* event) {
    event->accept();
    Feedback::endProgram();
}

}  // namespace vela
