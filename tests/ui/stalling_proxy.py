# A loopback HTTP proxy for the stalled-fetch tests: it answers every request with
# a one-member roster of "Brannock", except a request for clan "Stalled", which it
# takes and never answers. It prints its port, then logs to the file named by its
# argument "request N MS LINE" for each request on connection N, "stalled N" once
# it has decided never to answer, and "closed N MS" when the client closes.
import socket, sys, threading, time
log_lock = threading.Lock()
def log(*words):
    with log_lock, open(sys.argv[1], "a") as f:
        print(*words, file=f)
def ms():
    return time.time_ns() // 1_000_000
body = b"1\r\nBrannock|||120|||12:00 01.02.2020|||Mage\r\n"
def serve(conn, number):
    data = b""
    with conn:
        while True:
            while b"\r\n\r\n" not in data:
                chunk = conn.recv(65536)
                if not chunk:
                    log("closed", number, ms())
                    return
                data += chunk
            head, data = data.split(b"\r\n\r\n", 1)
            line = head.split(b"\r\n", 1)[0].decode("latin-1")
            log("request", number, ms(), line)
            if "clan=Stalled" in line:
                log("stalled", number)
                while conn.recv(65536):
                    pass
                log("closed", number, ms())
                return
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
listener = socket.create_server(("127.0.0.1", 0))
print(listener.getsockname()[1], flush=True)
for number in range(1, 1000):
    conn, _ = listener.accept()
    threading.Thread(target=serve, args=(conn, number), daemon=True).start()
