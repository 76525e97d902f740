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

int RunClient(const std::vector<std::string>& argv) {
    const AppFolders folders = CurrentAppFolders();
    if (!CreateAppFolders(folders))
        std::fprintf(stderr, "marvenlot: the folder %s or %s could not be created\n", folders.config.c_str(),
                     folders.state.c_str());
    LogSystem& log = GetLog();
    log.Start(u"StartLog", 100, true);
    log.SetFolder(FromUtf8(folders.state));

    std::vector<WString> args;
    SplitCommandLine(JoinArguments(argv), args);
    const StartChoice choice = ChooseStartMode(args);
    if (choice.startLauncher) {
        if (!platform::StartLauncher())
            std::fprintf(stderr, "marvenlot: the launcher could not be started\n");
        return 0;
    }

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
            std::fprintf(stderr, "marvenlot: the instance lock could not be taken\n");
            return 0;
        case platform::InstanceLock::Result::AlreadyRunning:
            instance.RequestRaise();
            return 0;
        case platform::InstanceLock::Result::Acquired:
            break;
    }

    std::unique_ptr<platform::WindowSystem> windows = platform::OpenWindowSystem();
    if (!windows) {
        std::fprintf(stderr, "marvenlot: the sdl video backend could not be started\n");
        return 0;
    }
    platform::WindowSystem* windowSystem = windows.get();
    platform::InstallQuitHandlers();
    platform::SetQuitCallback([windowSystem] { windowSystem->PostMessage({platform::kWmClose, 0, 0}); });
    instance.SetRaiseCallback([windowSystem] {
        windowSystem->PostMessage({platform::kWmRaiseWindow, 0, 0});
    });

    {
        App app(args, choice.mode, *windows);
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
        if (app.Create()) app.Run();
        app.Shutdown();
    }
    platform::SetQuitCallback(nullptr);
    windows.reset();
    LogWrite(u"Exit\n");
    log.Flush();
    instance.Release();
    return 0;
}
