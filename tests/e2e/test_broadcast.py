"""At start the program announces itself to every copy on its router's subnet
with a broadcast that really leaves the PC."""

import select
import unittest

from rmtest import PC_ADDRESS, ROUTER_ADDRESS, Monitor, MonitorTestCase, lan_host_socket, settings_bytes

NEIGHBOUR_ADDRESS = "192.0.2.20"
SUBNET_BROADCAST = "192.0.2.255"
PEER_PORT = 4450


class Broadcast(MonitorTestCase):
    def monitor(self):
        return Monitor(self.id().split(".")[-1], lan=True)

    def test_start_announcement_reaches_another_host_of_the_subnet(self):
        with self.monitor() as m:
            # A settings file: no first-run box holds up the start.
            (m.folder / "RMonitor.ini").write_bytes(settings_bytes(RouterAddress=ROUTER_ADDRESS))
            neighbour = lan_host_socket(m, "neighbour", NEIGHBOUR_ADDRESS)
            try:
                # Bound to the broadcast address, it gets only what was sent to all.
                neighbour.bind((SUBNET_BROADCAST, PEER_PORT))
                proc = m.start()
                ready, _, _ = select.select([neighbour], [], [], 30)
                self.assertTrue(ready, "no broadcast reached the neighbour")
                data, sender = neighbour.recvfrom(4096)
            finally:
                neighbour.close()
            self.assertEqual(data, b"RMonitor Master Check")
            self.assertEqual(sender, (PC_ADDRESS, PEER_PORT))
            m.wait_main()
            m.command("Exit")
            self.assertEqual(m.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()
