// The scenario reader and the game runner of zibsim.
