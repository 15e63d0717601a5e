// The one handler every weather generation runs inside: an error escaping the generation ends it with one line in
// the window's log, "Error: Weatherworker GenerateFSWeather Runtime Error" and its siblings, instead of ending
// the program. Nothing is handed to the simulator after a caught error, nor after Clear WX stopped the generation.
#pragma once

#include "generation/mainwindowhost.h"
#include "generation/weatherworker.h"
#include "platform/debugoutput.h"

#include <QString>

#include <exception>
#include <stdexcept>
#include <string>

// Leaves a generation that Clear WX stopped in its wait, from the step that finds it stopped. No standard error, so
// that no handler on the way takes it for one.
struct GenerationStopped
{
};

// Runs the generation. The first four kinds of error also write the error's own text to the debug output; a
// generation stopped by Clear WX writes one line that says so.
template<typename Generation> void RunGuarded(CMainWindowHost& window, const char* operation, Generation&& generation)
{
    const QString prefix = QStringLiteral("Error: Weatherworker ") + QLatin1String(operation);
    const auto report = [&](const std::exception& error, const char* kind) {
        platform::DebugOut(std::string(error.what()) + "\n");
        window.OnDebugString(prefix + QLatin1String(kind), 0);
    };
    try {
        generation();
    } catch (const GenerationStopped&) {
        window.sigUIDebugString(CWeatherWorker::GenerationStoppedText(), 0);
    } catch (const std::out_of_range& error) {
        report(error, " out of range");
    } catch (const std::runtime_error& error) {
        report(error, " Runtime Error");
    } catch (const std::logic_error& error) {
        report(error, " Logic Error");
    } catch (const std::exception& error) {
        report(error, " Exception");
    } catch (...) {
        window.OnDebugString(prefix + QStringLiteral(" Unknown Error"), 0);
    }
}
