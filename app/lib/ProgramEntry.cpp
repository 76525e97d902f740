#include "app/lib/ProgramEntry.h"

#include <cstdio>

#include "app/lib/App.h"
#include "app/lib/AppFolders.h"
#include "engine/core/Log.h"
#include "engine/core/Text.h"
#include "platform/Drivers.h"
#include "platform/crash/CrashHook.h"
#include "platform/sys/Env.h"
#include "platform/sys/Fpu.h"
#include "platform/sys/InstanceLock.h"
#include "platform/sys/Quit.h"
#include "platform/sys/Shell.h"
#include "platform/window/Window.h"

namespace {

// The command line's own answers (help, usage errors, the launcher) need no folder, log or lock.
int AnswerWithoutRunning(const StartChoice& choice) {
    switch (choice.action) {
        case StartAction::ShowHelp:
            std::fputs(UsageText().c_str(), stdout);
            return exit_code::kOk;
        case StartAction::UsageError:
            std::fprintf(stderr, "marvenlot: %s\n\n%s", choice.error.c_str(), UsageText().c_str());
            return exit_code::kUsage;
        case StartAction::StartLauncher:
            if (platform::StartLauncher()) return exit_code::kOk;
            std::fprintf(stderr,
                         "marvenlot: no launcher (marvenlot-launcher) is installed to start the game from; "
                         "start the client with its arguments instead:\n\n%s",
                         UsageText().c_str());
            return exit_code::kStartFailed;
        case StartAction::Run:
            break;
    }
    return exit_code::kOk;
}

// A quit asked for before the window system was opened: nothing to close but the log.
int EndBeforeTheWindow(LogSystem& log) {
    LogWrite(u"Quit before the window was opened\n");
    LogWrite(u"Exit\n");
    log.Flush();
    return exit_code::kOk;
}

}  // namespace

int RunClient(const std::vector<std::string>& argv) {
    const StartChoice choice = ChooseStartMode(argv);
    if (choice.action != StartAction::Run) return AnswerWithoutRunning(choice);
    // Before any thread starts: it writes the environment.
    platform::QuietSoundLibraries();
    // From the first step on, SIGTERM and SIGINT ask for the orderly end: each step of the start
    // below looks for the request, and the message pump takes it over once it runs.
    platform::InstallQuitHandlers();

    const AppFolders folders = CurrentAppFolders();
    if (!CreateAppFolders(folders))
        std::fprintf(stderr, "marvenlot: the folder %s or %s could not be created\n", folders.config.c_str(),
                     folders.state.c_str());
    LogSystem& log = GetLog();
    log.Start(u"StartLog", 100, true);
    log.SetFolder(FromUtf8(folders.state));

    platform::CrashHookSettings crash;
    crash.dumpPath = folders.state + "/ErrorDump.dmp";
    crash.reporterPath = platform::ExecutableDir() + "/marvenlot-crashreport";
    crash.reporterArgs = {"--folder", folders.state};
    if (!platform::InstallCrashHook(crash))
        std::fprintf(stderr, "marvenlot: the crash reporter could not be set up\n");
    platform::SetFpuControl();

    platform::InstanceLock instance("Marvenlot");
    switch (instance.Acquire()) {
        case platform::InstanceLock::Result::Failed:
            std::fprintf(stderr, "marvenlot: the instance lock could not be taken (%s)\n",
                         instance.FailureReason().c_str());
            LogWrite(u"ERROR : the instance lock could not be taken (%s)\n",
                     FromUtf8(instance.FailureReason()));
            log.Flush();
            return exit_code::kStartFailed;
        case platform::InstanceLock::Result::AlreadyRunning:
            instance.RequestRaise();
            return exit_code::kOk;
        case platform::InstanceLock::Result::Acquired:
            break;
    }

    if (platform::QuitRequested()) return EndBeforeTheWindow(log);
    std::unique_ptr<platform::WindowSystem> windows = platform::OpenWindowSystem();
    if (!windows) {
        std::fprintf(stderr,
                     "marvenlot: no display can be opened; start the client in a desktop session, or set "
                     "MARVENLOT_VIDEO=null to run it without a window\n");
        LogWrite(u"ERROR : no display can be opened\n");
        log.Flush();
        return exit_code::kStartFailed;
    }
    platform::WindowSystem* windowSystem = windows.get();
    platform::SetQuitCallback([windowSystem] { windowSystem->PostMessage({platform::kWmClose, 0, 0}); });
    instance.SetRaiseCallback([windowSystem] {
        windowSystem->PostMessage({platform::kWmRaiseWindow, 0, 0});
    });
    // A box on the display or an HTTP exchange holds the message pump while it waits: the input
    // script plays on meanwhile (its waits time out), and its quit, like a close of the main window,
    // ends the wait.
    platform::SetBlockingWaitHook([windowSystem] { return windowSystem->PumpWhileBlocked(); });

    int exitCode = exit_code::kOk;
    {
        App app(WideArguments(argv), choice.mode, *windows);
        app.SetPumpHook([&instance] {
            platform::PollQuitRequest();
            instance.PollRaiseRequests();
        });
        app.Init();
        // Scripted input starts with the start-up done and before the first scene, so that
        // wait-journal sees every scene line.
        const std::string inputScript = platform::GetEnv("MARVENLOT_INPUT");
        if (!inputScript.empty()) {
            windows->SetInputScript(platform::LoadInputScript(inputScript, [](const std::string& line) {
                std::fprintf(stderr, "marvenlot: %s\n", line.c_str());
                LogWrite(u"%s\n", FromUtf8(line));
            }));
        }
        app.StartUpdateThread();
        if (!platform::QuitRequested() && app.Create() && !platform::QuitRequested()) app.Run();
        app.Shutdown();
        if (app.Failed()) exitCode = exit_code::kStartFailed;
    }
    platform::SetQuitCallback(nullptr);
    platform::SetBlockingWaitHook(nullptr);
    windows.reset();
    LogWrite(u"Exit\n");
    log.Flush();
    instance.Release();
    return exitCode;
}
