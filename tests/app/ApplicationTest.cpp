#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <locale>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/Application.h"
#include "views/ErrorReport.h"

namespace {

// Sets an environment variable (unsets it for a null value) until the end
// of the scope.
class TEnvVar {
public:
    TEnvVar(const char* VarName, const char* Value) : Name(VarName)
    {
        if (const char* Old = std::getenv(VarName))
            FOld = Old;
        Set(Value);
    }
    TEnvVar(const TEnvVar&) = delete;
    ~TEnvVar() { Set(FOld ? FOld->c_str() : nullptr); }
    void Set(const char* Value) const { Value ? setenv(Name.c_str(), Value, 1) : unsetenv(Name.c_str()); }

    const std::string Name;

private:
    std::optional<std::string> FOld;
};

TEST(StartUp, EnvironmentLocaleFallsBackToClassicWhenNotInstalled)
{
    const TEnvVar All("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(EnvironmentLocale().name(), "C");
    All.Set("C.UTF-8"); // installed on every Debian system
    EXPECT_EQ(EnvironmentLocale().name(), "C.UTF-8");
}

TEST(StartUp, GraphicalSessionNeedsADisplayOrAPlatform)
{
    const TEnvVar Vars[] = {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}, {"QT_QPA_PLATFORM", nullptr}};
    EXPECT_FALSE(HasGraphicalSession());
    Vars[0].Set("");
    EXPECT_FALSE(HasGraphicalSession()); // set but empty is no display
    Vars[0].Set(nullptr);
    for (const TEnvVar& Var : Vars) {
        Var.Set("x");
        EXPECT_TRUE(HasGraphicalSession()) << Var.Name;
        Var.Set(nullptr);
    }
}

// The program itself, started with Vars added to an environment without any
// display. Returns its exit code, or -1 when it is still running after
// Wait ms (then it is killed) or crashed; Err receives its standard error.
int RunProgram(const QStringList& Vars, int Wait, QString& Err)
{
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        Env.remove(QString::fromLatin1(Name));
    for (const QString& Var : Vars)
        Env.insert(Var.section(QLatin1Char('='), 0, 0), Var.section(QLatin1Char('='), 1));
    QProcess P;
    P.setProcessEnvironment(Env);
    P.start(QStringLiteral(VELMOR_EXECUTABLE), {});
    if (!P.waitForStarted())
        return -2;
    const bool Ended = P.waitForFinished(Wait);
    if (!Ended) {
        P.kill();
        P.waitForFinished();
    }
    Err = QString::fromLocal8Bit(P.readAllStandardError());
    return Ended && P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
}

TEST(StartUp, ADisplayThatCannotBeOpenedEndsWithTheOneLineMessage)
{
    // An X display number nobody serves.
    int Free = 90;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(Free)))
        ++Free;
    const QString Message = QString::fromUtf8(NoGraphicalSessionMessage) + QLatin1Char('\n');
    const QStringList Cases[] = {{}, {QStringLiteral("DISPLAY=:%1").arg(Free)}, {"QT_QPA_PLATFORM=nowhere"}};
    for (const QStringList& Vars : Cases) {
        SCOPED_TRACE(Vars.join(' ').toStdString());
        QString Err;
        EXPECT_EQ(RunProgram(Vars, 30000, Err), 1);
        EXPECT_EQ(Err, Message); // nothing from the toolkit
    }
    // A platform that opens: the launcher runs until it is closed.
    QString Err;
    EXPECT_EQ(RunProgram({"QT_QPA_PLATFORM=offscreen"}, 1500, Err), -1) << Err.toStdString();
}

TEST(Spanish, TheToolkitsOwnDialogsAndMenusSpeakSpanish)
{
    QTranslator* Translator = InstallToolkitSpanish();
    ASSERT_NE(Translator, nullptr) << "qtbase_es is not installed";

    QMessageBox Box;
    Box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save);
    EXPECT_EQ(Box.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(Box.button(QMessageBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Guardar"));

    QLineEdit Edit(QStringLiteral("texto"));
    const std::unique_ptr<QMenu> Menu(Edit.createStandardContextMenu());
    QStringList Items;
    for (const QAction* A : Menu->actions())
        if (!A->isSeparator())
            Items << A->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    EXPECT_TRUE(Items.contains(QStringLiteral("Deshacer"))) << Items.join(", ").toStdString();
    EXPECT_TRUE(Items.contains(QStringLiteral("Pegar"))) << Items.join(", ").toStdString();

    QFileDialog Save;
    Save.setOption(QFileDialog::DontUseNativeDialog);
    Save.setAcceptMode(QFileDialog::AcceptSave);
    const auto* Buttons = Save.findChild<QDialogButtonBox*>();
    ASSERT_NE(Buttons, nullptr);
    EXPECT_EQ(Buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));

    QCoreApplication::removeTranslator(Translator);
    delete Translator;
}

// A widget whose mouse handler fails the way a file operation does.
struct TThrowingWidget : QWidget {
    int Presses = 0;
    bool Throw = true;
    void mousePressEvent(QMouseEvent*) override
    {
        ++Presses;
        if (Throw)
            throw std::runtime_error("Cannot create file /sin permiso/pista 1.wav (acústica)");
    }
};

TEST(GeneralErrorReport, ExceptionFromAHandlerIsReportedAndTheProgramGoesOn)
{
    TThrowingWidget W;
    QStringList Reports;
    auto Report = [&](const QString& M) { Reports << M; };
    auto Press = [&] {
        QMouseEvent Ev(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
        return QApplication::sendEvent(&W, &Ev);
    };

    EXPECT_FALSE(DeliverGuarded(Press, Report));
    EXPECT_EQ(Reports, QStringList{QStringLiteral("Cannot create file /sin permiso/pista 1.wav (acústica)")});

    // Delivery still works afterwards.
    W.Throw = false;
    EXPECT_TRUE(DeliverGuarded(Press, Report));
    EXPECT_EQ(W.Presses, 2);
    EXPECT_EQ(Reports.size(), 1);

    // Something that is no std::exception still gets a message.
    EXPECT_FALSE(DeliverGuarded([]() -> bool { throw 42; }, Report));
    ASSERT_EQ(Reports.size(), 2);
    EXPECT_FALSE(Reports[1].isEmpty());
}

// The report box ShowException opens, once it is on screen.
QMessageBox* OpenReport()
{
    for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* Box = qobject_cast<QMessageBox*>(W); Box != nullptr && Box->isVisible())
            return Box;
    return nullptr;
}

// Runs Answer on the next report box as soon as it shows (the box runs its
// own modal loop, so the test acts from a timer), then presses its Ok.
void AnswerNextReport(std::function<void(QMessageBox&)> Answer)
{
    auto* Poll = new QTimer(qApp); // deletes itself once it has answered
    Poll->setInterval(10);
    QObject::connect(Poll, &QTimer::timeout, Poll, [Poll, Answer = std::move(Answer)] {
        QMessageBox* Box = OpenReport();
        if (Box == nullptr)
            return;
        Poll->stop();
        Poll->deleteLater();
        Answer(*Box);
        Box->button(QMessageBox::Ok)->click();
    });
    Poll->start();
}

TEST(GeneralErrorReport, ShowsTheMessageInABoxAndNeverStacksBoxes)
{
    QString Text;
    QString Caption;
    std::string Nested;
    AnswerNextReport([&](QMessageBox& Box) {
        Text = Box.text();
        Caption = Box.windowTitle();
        // A second failure while the box is open goes to standard error.
        testing::internal::CaptureStderr();
        TApplication::ShowException(QStringLiteral("segundo fallo"));
        Nested = testing::internal::GetCapturedStderr();
    });
    TApplication::ShowException(QStringLiteral("No se puede crear el archivo TONE.$$$"));
    EXPECT_EQ(Text, QStringLiteral("No se puede crear el archivo TONE.$$$"));
    EXPECT_EQ(Caption, QCoreApplication::applicationName());
    EXPECT_NE(Nested.find("segundo fallo"), std::string::npos);
    EXPECT_EQ(OpenReport(), nullptr);

    // Once closed, the next failure gets its box again.
    QString Again;
    AnswerNextReport([&](QMessageBox& Box) { Again = Box.text(); });
    TApplication::ShowException(QStringLiteral("otra vez"));
    EXPECT_EQ(Again, QStringLiteral("otra vez"));
}

TEST(GeneralErrorReport, WindowsReportThroughTheApplicationsBox)
{
    TApplication::InstallErrorReport();
    QString Text;
    std::string Nested;
    AnswerNextReport([&](QMessageBox& Box) {
        Text = Box.text();
        testing::internal::CaptureStderr();
        RunReported([] { throw std::runtime_error("No queda espacio en el dispositivo"); });
        Nested = testing::internal::GetCapturedStderr();
    });
    ReportError(QStringLiteral("No se puede escribir PLAY.TMP"));
    SetErrorReporter(nullptr);
    EXPECT_EQ(Text, QStringLiteral("No se puede escribir PLAY.TMP"));
    EXPECT_NE(Nested.find("No queda espacio en el dispositivo"), std::string::npos);
}

} // namespace
