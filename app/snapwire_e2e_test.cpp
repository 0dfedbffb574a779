// The real program on a real X display (CTest runs this under xvfb-run): it must
// show its main window with a live picture, and closing the window through the
// window manager's protocol must store the window values.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// --- A little of the X protocol ----------------------------------------------------------

class XDisplay {
  public:
    XDisplay() : connection_(xcb_connect(nullptr, nullptr)) {}
    ~XDisplay() { xcb_disconnect(connection_); }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool Ok() const { return xcb_connection_has_error(connection_) == 0; }

    xcb_atom_t Atom(const char* name) const {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(qstrlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // A mapped top-level window whose title is exactly `title`.
    std::optional<xcb_window_t> FindMappedWindow(const QByteArray& title) const {
        const std::vector<xcb_window_t> windows = MappedWindowsInStackingOrder(title);
        return windows.empty() ? std::nullopt : std::optional<xcb_window_t>(windows.front());
    }

    // Mapped top-level windows titled `title`, bottom of the stack first.
    std::vector<xcb_window_t> MappedWindowsInStackingOrder(const QByteArray& title) const {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root), nullptr);
        std::vector<xcb_window_t> found;
        if (!tree)
            return found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (IsViewable(children[i]) && Title(children[i]) == title)
                found.push_back(children[i]);
        }
        std::free(tree);
        return found;
    }

    std::int64_t ProcessOf(xcb_window_t window) const {
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1), nullptr);
        std::int64_t pid = -1;
        if (property && xcb_get_property_value_length(property) == 4)
            pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(property));
        std::free(property);
        return pid;
    }

    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;
    };

    std::optional<Picture> Grab(xcb_window_t window) const {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        if (!geometry)
            return std::nullopt;
        Picture picture;
        picture.width = geometry->width;
        picture.height = geometry->height;
        std::free(geometry);
        xcb_get_image_reply_t* image =
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              static_cast<std::uint16_t>(picture.width),
                                              static_cast<std::uint16_t>(picture.height), ~0u),
                                nullptr);
        if (!image)
            return std::nullopt;
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        const size_t count = static_cast<size_t>(xcb_get_image_data_length(image)) / 4;
        picture.pixels.assign(data, data + count);
        std::free(image);
        for (std::uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFFu;  // 24-bit depth in 32-bit pixels
        return picture;
    }

    // What a window manager sends when the user clicks the close button.
    void RequestClose(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("WM_PROTOCOLS");
        event.data.data32[0] = Atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
    }

  private:
    bool IsViewable(xcb_window_t window) const {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        return viewable;
    }

    QByteArray Title(xcb_window_t window) const {
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr);
        QByteArray title;
        if (property)
            title = QByteArray(static_cast<const char*>(xcb_get_property_value(property)),
                               xcb_get_property_value_length(property));
        std::free(property);
        return title;
    }

    xcb_connection_t* connection_;
};

// --- The program ---------------------------------------------------------------------------

class ProgramOnDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(runtime_.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under xvfb-run";
        QFile::setPermissions(runtime_.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("SNAPWIRE_HOME"), home_.path());
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment_.remove(QStringLiteral("SNAPWIRE_NO_TEST_DEVICE"));
        ASSERT_TRUE(display_.Ok());
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    void Start() { Start(program_, environment_); }

    static void Start(QProcess& program, const QProcessEnvironment& environment,
                      QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels) {
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(channels);
        program.start(QStringLiteral(SNAPWIRE_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    struct ToolRun {
        int exitCode = -1;
        QByteArray output;
        QByteArray errors;
    };

    static ToolRun RunTool(const QStringList& arguments, const QProcessEnvironment& environment) {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(SNAPWIRE_REG_TOOL), arguments);
        if (!tool.waitForFinished(10000))
            return {};
        return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
    }

    // A program folder whose first run is over, so no wizard covers the main window.
    static bool SeedPastFirstRun(const QString& home, const QProcessEnvironment& environment) {
        QFile script(home + QStringLiteral("/seed.reg"));
        if (!script.open(QIODevice::WriteOnly))
            return false;
        script.write(
            "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Snapwire]\n"
            "\"FirstTime\"=\"False\"\n");
        script.close();
        return RunTool({QStringLiteral("import"), script.fileName()}, environment).exitCode == 0;
    }

    template <typename Condition>
    static bool WaitFor(Condition&& condition, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (condition())
                return true;
            QThread::msleep(50);
        }
        return condition();
    }

    QString ExportedSettings() const {
        const ToolRun run =
            RunTool({QStringLiteral("export"), QStringLiteral("Software\\Snapwire")}, environment_);
        if (run.exitCode != 0)
            return QString();
        const QByteArray& bytes = run.output;
        if (bytes.startsWith("\xFF\xFE"))
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                      (bytes.size() - 2) / 2);
        return QString::fromUtf8(bytes);
    }

    QTemporaryDir home_;
    QTemporaryDir runtime_;
    QProcessEnvironment environment_;
    QProcess program_;
    XDisplay display_;
};

int ChangedPixels(const XDisplay::Picture& a, const XDisplay::Picture& b) {
    if (a.pixels.size() != b.pixels.size())
        return -1;
    int changed = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) changed += a.pixels[i] != b.pixels[i] ? 1 : 0;
    return changed;
}

int DistinctColours(const XDisplay::Picture& picture) {
    std::vector<std::uint32_t> colours(picture.pixels);
    std::sort(colours.begin(), colours.end());
    return static_cast<int>(std::unique(colours.begin(), colours.end()) - colours.begin());
}

TEST_F(ProgramOnDisplay, ShowsALivePictureAndStoresItsWindowValuesWhenClosed) {
    Start();
    std::optional<xcb_window_t> window;
    ASSERT_TRUE(WaitFor([&] { return (window = display_.FindMappedWindow("Snapwire")).has_value(); },
                        std::chrono::seconds(20)))
        << "the main window never appeared";

    // A first run: the wizard opens over the main window; its close box leaves it as "Skip Wizard" does.
    std::optional<xcb_window_t> wizard;
    ASSERT_TRUE(WaitFor([&] { return (wizard = display_.FindMappedWindow("Wizard")).has_value(); },
                        std::chrono::seconds(20)))
        << "the first-run wizard never appeared";
    display_.RequestClose(*wizard);
    ASSERT_TRUE(
        WaitFor([&] { return !display_.FindMappedWindow("Wizard").has_value(); }, std::chrono::seconds(10)))
        << "the wizard did not close";

    // The moving test pattern changes part of the window from one second to the next.
    std::optional<XDisplay::Picture> first;
    std::optional<XDisplay::Picture> second;
    ASSERT_TRUE(WaitFor(
        [&] {
            first = display_.Grab(*window);
            QThread::msleep(1000);
            second = display_.Grab(*window);
            return first && second && ChangedPixels(*first, *second) > 50;
        },
        std::chrono::seconds(15)))
        << "the picture in the window does not change";
    EXPECT_GT(DistinctColours(*second), 8) << "the window looks blank";

    display_.RequestClose(*window);
    ASSERT_TRUE(program_.waitForFinished(15000)) << "the program did not end on close";
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);

    const QString settings = ExportedSettings();
    EXPECT_TRUE(settings.contains(QStringLiteral("\"Width\"=\"6100\""))) << settings.toStdString();
    EXPECT_TRUE(settings.contains(QStringLiteral("\"Height\"=\"6400\""))) << settings.toStdString();
    EXPECT_TRUE(settings.contains(QStringLiteral("\"LastTimestamp\"=\"False\""))) << settings.toStdString();
    EXPECT_TRUE(settings.contains(QStringLiteral("\"FirstTime\"=\"False\""))) << settings.toStdString();
}

// One program folder, one running program: a second start brings the first one's
// window to the front and ends; another folder runs beside it; a killed instance
// leaves nothing behind that blocks the next start.
TEST_F(ProgramOnDisplay, ASecondStartOnTheSameFolderBringsTheFirstForwardAndEnds) {
    QTemporaryDir otherHome;
    ASSERT_TRUE(otherHome.isValid());
    QProcessEnvironment other = environment_;
    other.insert(QStringLiteral("SNAPWIRE_HOME"), otherHome.path());
    ASSERT_TRUE(SeedPastFirstRun(home_.path(), environment_));
    ASSERT_TRUE(SeedPastFirstRun(otherHome.path(), other));
    // Where the program's main window is in the stack of main windows.
    const auto placeOf = [this](const QProcess& program) -> std::optional<size_t> {
        const std::vector<xcb_window_t> windows = display_.MappedWindowsInStackingOrder("Snapwire");
        for (size_t place = 0; place < windows.size(); ++place) {
            if (display_.ProcessOf(windows[place]) == program.processId())
                return place;
        }
        return std::nullopt;
    };
    const auto shown = [&](const QProcess& program) {
        return WaitFor([&] { return placeOf(program).has_value(); }, std::chrono::seconds(20));
    };

    Start();
    ASSERT_TRUE(shown(program_)) << "the first start shows no window";
    QProcess beside;
    Start(beside, other);
    ASSERT_TRUE(shown(beside)) << "a program with another folder does not run beside the first";
    ASSERT_LT(*placeOf(program_), *placeOf(beside));

    QProcess second;
    Start(second, environment_);
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second start on the same folder goes on running";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::optional<size_t> first = placeOf(program_);
            const std::optional<size_t> another = placeOf(beside);
            return first && another && *first > *another;
        },
        std::chrono::seconds(10)))
        << "the running program's window did not come to the front";

    program_.kill();
    ASSERT_TRUE(program_.waitForFinished(5000));
    QProcess next;
    Start(next, environment_);
    EXPECT_TRUE(shown(next)) << "a killed instance blocks the next start";
    for (QProcess* program : {&beside, &next}) {
        program->kill();
        program->waitForFinished(5000);
    }
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program answers its own message boxes on the offscreen platform and logs what they said.
QProcessEnvironment Offscreen(QProcessEnvironment environment) {
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SNAPWIRE_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));
    return environment;
}

// The tool and the program name a damaged settings file in the same words; the tool
// leaves it, the program keeps it aside and starts with fresh settings.
TEST_F(ProgramOnDisplay, ADamagedHiveIsReportedKeptAsideAndReplaced) {
    const QString hive = home_.filePath(QStringLiteral("settings.db"));
    QByteArray damaged(64 * 1024, '\0');
    for (int i = 0; i < damaged.size(); ++i) damaged[i] = static_cast<char>((i * 7919) >> 3);
    QFile file(hive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    const QByteArray sentence =
        QStringLiteral("The settings file \"%1\" is damaged: it is not a settings database.")
            .arg(hive)
            .toUtf8();

    const ToolRun tool = RunTool({QStringLiteral("export")}, environment_);
    EXPECT_NE(tool.exitCode, 0);
    EXPECT_TRUE(tool.errors.contains(sentence)) << tool.errors.toStdString();
    EXPECT_EQ(QDir(home_.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.db")});
    EXPECT_EQ(FileBytes(hive), damaged);

    QProcess program;
    Start(program, Offscreen(environment_), QProcess::SeparateChannels);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray said = program.readAllStandardError();
    EXPECT_TRUE(said.contains(sentence)) << said.toStdString();
    const QStringList kept =
        QDir(home_.path()).entryList({QStringLiteral("settings.db.damaged-*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1) << kept.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("It is kept as \"%1\"").arg(home_.filePath(kept[0])).toUtf8()))
        << said.toStdString();
    EXPECT_EQ(FileBytes(home_.filePath(kept[0])), damaged);
    EXPECT_TRUE(ExportedSettings().contains(QStringLiteral("\"FirstTime\"=\"False\"")));
}

// A settings file that cannot be created ends the tool and the program, saying why,
// instead of giving a first run that stores nothing.
TEST_F(ProgramOnDisplay, ASettingsFileThatCannotBeCreatedEndsTheProgram) {
    const QString hive = home_.filePath(QStringLiteral("settings.db"));
    ASSERT_TRUE(QFile::link(home_.filePath(QStringLiteral("gone/settings.db")), hive));
    const QByteArray sentence =
        QStringLiteral("The settings file \"%1\" cannot be created: No such file or directory.")
            .arg(hive)
            .toUtf8();

    const ToolRun tool = RunTool({QStringLiteral("export")}, environment_);
    EXPECT_EQ(tool.exitCode, 1);
    EXPECT_TRUE(tool.errors.contains(sentence + " Nothing was changed.")) << tool.errors.toStdString();
    QProcess program;
    Start(program, Offscreen(environment_), QProcess::SeparateChannels);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 1);
    const QByteArray said = program.readAllStandardError();
    EXPECT_TRUE(said.contains(sentence)) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home_.filePath(QStringLiteral("gone"))));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
