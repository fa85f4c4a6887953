#pragma once

namespace karumenio::cli {

// The tool runs for milliseconds and exits: memory it frees is better kept for its next
// allocation than handed back to the system and faulted in again page by page.
void keepFreedMemory();

} // namespace karumenio::cli
