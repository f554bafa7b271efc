// Identifies the engine library that the provider's code is linked with,
// so the extension can tell whether its host runs on that same library.
// Pure; safe on any thread.
#pragma once

namespace velt::extension {

// The address of one of the linked library's entry points, comparable with
// the same entry of a host's routine table.
const void* LinkedEngineEntry();

}  // namespace velt::extension
