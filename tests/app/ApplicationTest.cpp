#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"

namespace {

// Sets or unsets environment variables for its lifetime.
class TEnvironment {
public:
    void Set(const char* Name, const char* Value)
    {
        Remember(Name);
        if (Value == nullptr)
            unsetenv(Name);
        else
            setenv(Name, Value, 1);
    }
    ~TEnvironment()
    {
        for (auto It = FSaved.rbegin(); It != FSaved.rend(); ++It) {
            if (It->second)
                setenv(It->first.c_str(), It->second->c_str(), 1);
            else
                unsetenv(It->first.c_str());
        }
    }

private:
    void Remember(const char* Name)
    {
        const char* Old = std::getenv(Name);
        FSaved.emplace_back(Name, Old ? std::optional<std::string>(Old) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

// A widget whose mouse handler fails the way a file operation does.
class TThrowingWidget : public QWidget {
public:
    int Presses = 0;
    bool Throw = true;

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        ++Presses;
        if (Throw)
            throw std::runtime_error("Cannot create file /sin permiso/pista 1.wav (acústica)");
    }
};

TEST(StartUp, LocaleFallsBackToClassicWhenNotInstalled)
{
    TEnvironment Env;
    Env.Set("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(EnvironmentLocale().name(), "C");
    Env.Set("LC_ALL", "C");
    EXPECT_EQ(EnvironmentLocale().name(), "C");
    Env.Set("LC_ALL", "C.UTF-8");
    const std::locale L = EnvironmentLocale();
    EXPECT_EQ(std::use_facet<std::numpunct<char>>(L).decimal_point(), '.');
}

TEST(StartUp, GraphicalSessionNeedsADisplayOrAPlatform)
{
    TEnvironment Env;
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        Env.Set(Name, nullptr);
    EXPECT_FALSE(HasGraphicalSession());
    Env.Set("DISPLAY", "");
    EXPECT_FALSE(HasGraphicalSession()); // set but empty is no display
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        Env.Set(Name, "x");
        EXPECT_TRUE(HasGraphicalSession()) << Name;
        Env.Set(Name, nullptr);
    }
}

TEST(GeneralErrorReport, ExceptionFromAHandlerIsReportedAndTheProgramGoesOn)
{
    TThrowingWidget W;
    W.resize(50, 50);
    QString Reported;
    int Reports = 0;
    auto Report = [&](const QString& M) {
        Reported = M;
        ++Reports;
    };
    auto Press = [&] {
        QMouseEvent Ev(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
        return QApplication::sendEvent(&W, &Ev);
    };

    EXPECT_FALSE(DeliverGuarded(Press, Report));
    EXPECT_EQ(Reports, 1);
    EXPECT_EQ(Reported, QStringLiteral("Cannot create file /sin permiso/pista 1.wav (acústica)"));

    // Event delivery still works afterwards, to the same widget and others.
    W.Throw = false;
    EXPECT_TRUE(DeliverGuarded(Press, Report));
    EXPECT_EQ(W.Presses, 2);
    EXPECT_EQ(Reports, 1);

    EXPECT_FALSE(DeliverGuarded([]() -> bool { throw 42; }, Report));
    EXPECT_EQ(Reports, 2);
    EXPECT_FALSE(Reported.isEmpty());
}

// The box that ShowException opens, once it is on screen.
QMessageBox* OpenReport()
{
    for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* Box = qobject_cast<QMessageBox*>(W); Box != nullptr && Box->isVisible())
            return Box;
    return nullptr;
}

// Runs Answer on the next report box as soon as it is shown (the box runs
// its own modal loop, so the test acts from a timer), then presses its Ok.
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

} // namespace
