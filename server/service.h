// The board over HTTP: the JSON API (API.md) and the page.
#pragma once

#include <memory>
#include <string>

#include "server/storage.h"
#include "server/verifier.h"

namespace httplib {
class Server;
}

namespace tarnix::board {

struct ServiceOptions {
  std::size_t maxBody = 256 * 1024;  // a long game's replay is a few kilobytes
  double ratePerSecond = 20;         // requests of one address; 0 for no limit
  double rateBurst = 60;
  bool behindProxy = false;          // the client's address is the proxy's X-Forwarded-For
};

// Sets up every route of `server`; the storage and the pool outlive it.
void Service_Install(httplib::Server& server, Storage& storage, VerifierPool& pool,
                     const ServiceOptions& options);

// Text made safe for HTML, whatever it holds.
std::string Html_Escape(const std::string& text);

}  // namespace tarnix::board
