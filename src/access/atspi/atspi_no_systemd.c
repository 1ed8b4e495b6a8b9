/* For the statically linked launcher: libdbus-1 calls these two libsystemd
   functions only for a bus daemon started by socket activation, which a
   client never is, and Debian ships no static libsystemd. */
int sd_listen_fds(int unset_environment) {
  (void)unset_environment;
  return 0;
}

int sd_is_socket(int fd, int family, int type, int listening) {
  (void)fd, (void)family, (void)type, (void)listening;
  return 0;
}
