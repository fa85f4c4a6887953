#pragma once

namespace karumenio::numeric {

// How a double is written when the caller chooses: "1234.5" or "1.2345e+03".
enum class Notation { Fixed, Scientific };

} // namespace karumenio::numeric
