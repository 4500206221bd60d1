#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include "components/CTLHOOK.h"
#include "tests/components/HookTestWidgets.h"

using namespace kpx;
using kpx::test::TTestForm;

namespace {

// Logs every event it sees and consumes one chosen event type.
class TLoggingHook : public TControlHook
{
public:
    TLoggingHook(QObject *owner, QList<QEvent::Type> &log)
        : TControlHook(owner)
        , FLog(log)
    {
    }

    QEvent::Type Consumes = QEvent::None;

protected:
    bool MessageProc(QEvent *event) override
    {
        FLog.append(event->type());
        return event->type() == Consumes || TControlHook::MessageProc(event);
    }

private:
    QList<QEvent::Type> &FLog;
};

const QEvent::Type FirstEvent = QEvent::Type(QEvent::User + 1);
const QEvent::Type SecondEvent = QEvent::Type(QEvent::User + 2);

bool Send(QObject *to, QEvent::Type type)
{
    QEvent event(type);
    return QCoreApplication::sendEvent(to, &event);
}

} // namespace

TEST(ControlHook, FindOwnerFormWalksToTheWindow)
{
    TTestForm form;
    QWidget child(&form);
    QWidget grandChild(&child);
    QObject ownedByChild(&child);
    QObject orphan;
    QObject ownedByOrphan(&orphan);

    EXPECT_EQ(FindOwnerForm(&form), &form);
    EXPECT_EQ(FindOwnerForm(&grandChild), &form);
    EXPECT_EQ(FindOwnerForm(&ownedByChild), &form);
    EXPECT_EQ(FindOwnerForm(&ownedByOrphan), nullptr);
    EXPECT_EQ(FindOwnerForm(nullptr), nullptr);
}

TEST(ControlHook, FormTargetHooksTheWindowOfControlOrOwner)
{
    TTestForm form;
    QWidget child(&form);
    QObject holder(&child);
    TControlHook hook(&holder);

    hook.SetTarget(htForm);
    EXPECT_EQ(hook.HookedControl(), &form);
    EXPECT_NE(hook.HookedWindow(), WId{0});
    EXPECT_EQ(hook.HookedWindow(), form.internalWinId());

    TTestForm other;
    QWidget otherChild(&other);
    hook.SetControl(&otherChild);
    EXPECT_EQ(hook.HookedControl(), &other);
}

TEST(ControlHook, FormTargetWithNothingToHookFails)
{
    QObject owner;
    TControlHook hook(&owner);
    try {
        hook.SetTarget(htForm);
        FAIL() << "no error raised";
    } catch (const THookError &error) {
        EXPECT_EQ(error.Message(), QStringLiteral("フック先を特定できません。"));
    }
    EXPECT_EQ(hook.Target(), htForm);
    EXPECT_EQ(hook.HookedControl(), nullptr);
    EXPECT_EQ(hook.HookedWindow(), WId{0});
}

TEST(ControlHook, ControlTargetHooksTheControlItselfOrNothingSilently)
{
    TTestForm form;
    QWidget child(&form);
    TControlHook hook(&form);

    EXPECT_NO_THROW(hook.Loaded());
    EXPECT_EQ(hook.HookedControl(), nullptr);
    EXPECT_EQ(hook.HookedWindow(), WId{0});

    hook.SetControl(&child);
    EXPECT_EQ(hook.HookedControl(), &child);
    EXPECT_NE(child.internalWinId(), WId{0});
    EXPECT_EQ(hook.HookedWindow(), child.internalWinId());
}

TEST(ControlHook, SeesEventsFirstAndPassesThemOnUnchanged)
{
    QList<QEvent::Type> log;
    TTestForm form;
    form.Handles = SecondEvent;
    TLoggingHook hook(nullptr, log);
    hook.SetControl(&form);
    form.Received.clear();
    log.clear();

    EXPECT_FALSE(Send(&form, FirstEvent));
    EXPECT_TRUE(Send(&form, SecondEvent));
    EXPECT_EQ(log, (QList<QEvent::Type>{FirstEvent, SecondEvent}));
    EXPECT_EQ(form.Received, (QList<QEvent::Type>{FirstEvent, SecondEvent}));

    hook.Consumes = FirstEvent;
    EXPECT_TRUE(Send(&form, FirstEvent));
    EXPECT_EQ(form.Received.size(), 2);
}

TEST(ControlHook, ReassigningTheControlMovesTheHook)
{
    QList<QEvent::Type> log;
    TTestForm first;
    TTestForm second;
    TLoggingHook hook(nullptr, log);
    hook.SetControl(&first);
    hook.SetControl(&second);
    log.clear();

    Send(&first, FirstEvent);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(first.Received.last(), FirstEvent);
    Send(&second, FirstEvent);
    EXPECT_EQ(log.size(), 1);
}
