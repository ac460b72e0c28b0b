#pragma once

// The same header as the library's full header, as far as spdlog's pattern language goes; the
// benchmarks that set spdlog beside the library use it, with the time in UTC.
constexpr const char* SPDLOG_PATTERN = "[%d/%m/%Y %H:%M:%S.%e UTC] 0x%t          /   0 %L %n %v";
