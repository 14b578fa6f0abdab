// The program's entry on systems without WinMain: the environment is kept
// as it came, the arguments are not looked at, and WinMain runs with a
// normal show state. Once it returns, the application object destroys its
// windows and the toolkit is released.
#include "vcl/Backend.h"
#include "vcl/Forms.h"
#include "vcl/Shell.h"
#include "vcl/StartupTrace.h"
#include "vcl/WinApi.h"

int main(int, char **)
{
    VCL_TRACE("main");
    vcl::CaptureStartupEnvironment();
    char noCommandLine[] = "";
    const int status = WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL);
    vcl::Application->DestroyComponents();
    vcl::backend::Instance().Shutdown();
    return status;
}
