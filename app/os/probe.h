// Start-up probes for a parameter service on this machine: is one there (running on the
// console itself), and waiting until one answers ("-wdc").
#pragma once

#include <cstdint>
#include <functional>

namespace vorante {

constexpr uint16_t default_probe_port = 1080;

struct probe_ports {
  uint16_t local = default_probe_port;  // our end, bound on 127.0.0.1
  uint16_t service = 8086;              // the service on 127.0.0.1
};

// Up to three presence probes, each followed by a wait of up to 100 ms; true at the first
// valid reply. False after three misses or when the local port cannot be bound.
bool local_probe(const probe_ports& ports = {});

// Probes every 200 ms or so until three valid replies have come, pausing 200 ms after
// each. There is no overall limit; `stop`, when given, is asked before every probe and
// ends the wait. True when three replies came, false when the local port cannot be bound
// or the wait was stopped.
bool datacenter_wait(const probe_ports& ports = {}, const std::function<bool()>& stop = {});

}  // namespace vorante
