// libFuzzer target: any bytes as the program's form description. Reading
// must either build the form or raise EReadError with a line and column;
// nothing else may happen (no crash, no other exception, no leak).
#include "FakeBackend.h"
#include "UTarvik.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool EndsWithPlace(const String &message)
{
    const auto at = message.rfind(", ligne ");
    return at != String::npos && message.find(", colonne ", at) != String::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    auto &backend = vcl::test::FakeBackend::Get();
    backend.Reset();
    backend.resources["TFTARVIK"] = String(reinterpret_cast<const char *>(data), size);
    TApplication application;
    TApplication *previous = Application;
    Application = &application;
    FTarvik = nullptr;
    try {
        application.CreateForm(&FTarvik);
    } catch (const vcl::EReadError &error) {
        // A missing member is the one refusal without a place: it is about
        // the whole description, not a spot in it.
        if (FTarvik != nullptr ||
            (!EndsWithPlace(error.Message()) &&
             error.Message().find("absent de la description") == String::npos))
            std::abort();
    }
    application.DestroyComponents();
    Application = previous;
    return 0;
}
