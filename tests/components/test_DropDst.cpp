#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "components/DROPDST.h"
#include "components/MessageDialogs.h"
#include "tests/components/HookTestWidgets.h"

using namespace kpx;
using kpx::test::TTestForm;

namespace {

// Records each drop registration before making it.
class TRecordingDropDst : public TDropDst
{
public:
    using TDropDst::TDropDst;

    QList<std::pair<WId, bool>> Registrations;

protected:
    void RegisterDropTarget(WId window, bool accept) override
    {
        Registrations.append({window, accept});
        TDropDst::RegisterDropTarget(window, accept);
    }
};

struct TDrop
{
    TDropDst *Sender = nullptr;
    QStringList Files;
    int X = 0;
    int Y = 0;
};

// The drop target of a window as the main window sets it up: on its own form,
// no control, read and then loaded.
class DropDstTest : public ::testing::Test
{
protected:
    DropDstTest()
    {
        Form.resize(300, 200);
        Child.setGeometry(100, 50, 80, 40);
        Target->SetTarget(htForm);
        Target->Loaded();
    }

    void RecordDrops()
    {
        Target->SetOnFileDrop([this](TDropDst *sender, const QStringList &files, int x, int y) {
            Drops.append({sender, files, x, y});
        });
    }

    static QMimeData *FilesData(const QStringList &paths)
    {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    }

    // Drags data over a widget; true when the drag is accepted there.
    static bool DragOver(QWidget *to, const QMimeData &data, QPoint at = {10, 10})
    {
        QDragEnterEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QCoreApplication::sendEvent(to, &event);
        return event.isAccepted();
    }

    // Drags data over a widget and drops it there; true when the drop is accepted.
    static bool DropOn(QWidget *to, const QMimeData &data, QPoint at = {10, 10})
    {
        DragOver(to, data, at);
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QCoreApplication::sendEvent(to, &event);
        return event.isAccepted();
    }

    TTestForm Form;
    QWidget Child{&Form};
    TRecordingDropDst *Target = new TRecordingDropDst(&Form);
    QList<TDrop> Drops;
    TMessageRecorder Messages;
};

} // namespace

TEST_F(DropDstTest, LoadingRegistersTheOwningFormForDrops)
{
    EXPECT_EQ(Target->HookedControl(), &Form);
    EXPECT_EQ(Target->Registrations, (QList<std::pair<WId, bool>>{{Form.internalWinId(), true}}));
    EXPECT_TRUE(Form.acceptDrops());
}

TEST_F(DropDstTest, DropPassesFilesInOrderWithTheClientPoint)
{
    RecordDrops();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("動画"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QStringList paths = {dir.filePath(QStringLiteral("b.amc")), folder, dir.filePath(QStringLiteral("a.amc"))};
    std::unique_ptr<QMimeData> data(FilesData(paths));

    EXPECT_TRUE(DropOn(&Form, *data, {12, 34}));
    // Dropped on a child: the point is still in the form's client coordinates.
    EXPECT_TRUE(DropOn(&Child, *data, {5, 6}));

    ASSERT_EQ(Drops.size(), 2);
    EXPECT_EQ(Drops[0].Sender, Target);
    EXPECT_EQ(Drops[0].Files, paths);
    EXPECT_EQ(std::make_pair(Drops[0].X, Drops[0].Y), std::make_pair(12, 34));
    EXPECT_EQ(std::make_pair(Drops[1].X, Drops[1].Y), std::make_pair(105, 56));
    // The drop was consumed by the target, not handed to the form.
    EXPECT_FALSE(Form.Received.contains(QEvent::Drop));
}

TEST_F(DropDstTest, FilesAreTakenAsACopyWhateverTheSourceProposesOrNotAtAll)
{
    RecordDrops();
    std::unique_ptr<QMimeData> data(FilesData({QStringLiteral("/tmp/a.amc")}));
    const struct
    {
        Qt::DropActions possible;
        Qt::KeyboardModifiers keys; // Shift proposes a move, Ctrl+Shift a link
        Qt::DropAction proposed;
        bool accepted;
    } cases[] = {
        {Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, Qt::MoveAction, true},
        {Qt::CopyAction | Qt::LinkAction, Qt::ControlModifier | Qt::ShiftModifier, Qt::LinkAction, true},
        {Qt::CopyAction, Qt::NoModifier, Qt::CopyAction, true},
        {Qt::MoveAction, Qt::ShiftModifier, Qt::MoveAction, false},
    };
    for (const auto &c : cases) {
        QDragEnterEvent enter({10, 10}, c.possible, data.get(), Qt::LeftButton, c.keys);
        QDragMoveEvent move({12, 10}, c.possible, data.get(), Qt::LeftButton, c.keys);
        QDropEvent drop({12, 10}, c.possible, data.get(), Qt::LeftButton, c.keys);
        for (QDropEvent *event : std::initializer_list<QDropEvent *>{&enter, &move, &drop}) {
            ASSERT_EQ(event->proposedAction(), c.proposed);
            event->setAccepted(false);
            QCoreApplication::sendEvent(&Form, event);
            EXPECT_EQ(event->isAccepted(), c.accepted) << event->type() << " " << c.possible.toInt();
            if (c.accepted) {
                EXPECT_EQ(event->dropAction(), Qt::CopyAction) << event->type() << " " << c.possible.toInt();
            }
        }
    }
    EXPECT_EQ(Drops.size(), 3); // a refused drop reaches no handler
    EXPECT_FALSE(Form.Received.contains(QEvent::Drop));
}

TEST_F(DropDstTest, DropWithoutHandlerIsFinishedQuietly)
{
    std::unique_ptr<QMimeData> data(FilesData({QStringLiteral("/tmp/a.amc")}));
    EXPECT_TRUE(DropOn(&Form, *data));
    EXPECT_FALSE(Form.Received.contains(QEvent::Drop));
    EXPECT_TRUE(Messages.Messages().isEmpty());
}

TEST_F(DropDstTest, DragsWithoutFilesAreLeftToTheForm)
{
    RecordDrops();
    QMimeData text;
    text.setText(QStringLiteral("plain text"));
    EXPECT_FALSE(DropOn(&Form, text));
    EXPECT_TRUE(Drops.isEmpty());
    EXPECT_TRUE(Form.Received.contains(QEvent::DragEnter));
}

TEST_F(DropDstTest, AcceptDropRegistersOnlyChanges)
{
    std::unique_ptr<QMimeData> data(FilesData({QStringLiteral("/tmp/a.amc")}));
    const WId window = Form.internalWinId();
    Target->Registrations.clear();

    Target->SetAcceptDrop(true);
    EXPECT_TRUE(Target->Registrations.isEmpty());

    Target->SetAcceptDrop(false);
    EXPECT_EQ(Target->Registrations, (QList<std::pair<WId, bool>>{{window, false}}));
    EXPECT_FALSE(Form.acceptDrops());
    EXPECT_FALSE(DragOver(&Form, *data));

    Target->SetAcceptDrop(false);
    Target->SetAcceptDrop(true);
    EXPECT_EQ(Target->Registrations, (QList<std::pair<WId, bool>>{{window, false}, {window, true}}));
    EXPECT_TRUE(DragOver(&Form, *data));
}

TEST_F(DropDstTest, ANewNativeWindowIsRegisteredWithTheCurrentFlag)
{
    const WId oldWindow = Form.internalWinId();
    Target->SetAcceptDrop(false);
    Target->Registrations.clear();

    Form.destroy();
    EXPECT_EQ(Target->HookedWindow(), WId{0});
    EXPECT_EQ(Target->HookedControl(), &Form);
    EXPECT_TRUE(Target->Registrations.isEmpty());
    Form.create();
    const WId newWindow = Form.internalWinId();
    ASSERT_NE(newWindow, oldWindow);
    EXPECT_EQ(Target->HookedWindow(), newWindow);
    EXPECT_EQ(Target->Registrations, (QList<std::pair<WId, bool>>{{newWindow, false}}));

    // While a new window awaits its first event, a changed flag waits with it.
    Target->Registrations.clear();
    QEvent created(QEvent::WinIdChange);
    QCoreApplication::sendEvent(&Form, &created);
    EXPECT_EQ(Target->HookedWindow(), TControlHook::NewWindowMarker);
    Target->SetAcceptDrop(true);
    EXPECT_TRUE(Target->Registrations.isEmpty());
    QEvent next(QEvent::User);
    QCoreApplication::sendEvent(&Form, &next);
    EXPECT_EQ(Target->HookedWindow(), newWindow);
    EXPECT_EQ(Target->Registrations, (QList<std::pair<WId, bool>>{{newWindow, true}}));
}

TEST_F(DropDstTest, HandlerFailureIsReportedAndTheDropStillFinishes)
{
    int calls = 0;
    Target->SetOnFileDrop([&](TDropDst *, const QStringList &, int, int) {
        ++calls;
        throw std::runtime_error("書き込めません");
    });
    std::unique_ptr<QMimeData> data(FilesData({QStringLiteral("/tmp/a.amc")}));

    EXPECT_TRUE(DropOn(&Form, *data));
    EXPECT_TRUE(DropOn(&Form, *data));
    EXPECT_EQ(calls, 2);
    const TMessageRecorder::TMessage failure{TMsgKind::Error, QStringLiteral("書き込めません")};
    EXPECT_EQ(Messages.Messages(), (QList<TMessageRecorder::TMessage>{failure, failure}));
    EXPECT_FALSE(Form.Received.contains(QEvent::Drop));

    // Something that is no standard exception is caught as well.
    Target->SetOnFileDrop([](TDropDst *, const QStringList &, int, int) { throw 42; });
    EXPECT_TRUE(DropOn(&Form, *data));
    ASSERT_EQ(Messages.Messages().size(), 3);
    EXPECT_EQ(Messages.Messages().last().Kind, TMsgKind::Error);
}

TEST_F(DropDstTest, ADestroyedControlIsForgottenWithoutFurtherRegistration)
{
    auto control = std::make_unique<TTestForm>();
    Target->SetTarget(htControl);
    Target->SetControl(control.get());
    Target->Registrations.clear();
    control.reset();

    EXPECT_EQ(Target->HookedControl(), nullptr);
    EXPECT_EQ(Target->HookedWindow(), WId{0});
    EXPECT_EQ(Target->Control(), nullptr);
    Target->SetAcceptDrop(false);
    EXPECT_TRUE(Target->Registrations.isEmpty());
}

TEST_F(DropDstTest, ControlTargetWithoutControlIgnoresAcceptDrop)
{
    Target->SetTarget(htControl);
    Target->Registrations.clear();
    EXPECT_NO_THROW(Target->Loaded());
    Target->SetAcceptDrop(false);
    EXPECT_TRUE(Target->Registrations.isEmpty());
    EXPECT_EQ(Target->HookedControl(), nullptr);
}
