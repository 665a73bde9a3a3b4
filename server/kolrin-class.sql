-- The class server of Kolrin: every player's finished games in one PostgreSQL
-- database, read back as the class's ranking.
--
-- Load it once into an empty database as a superuser (or the database's owner
-- with CREATEROLE):
--     psql -v ON_ERROR_STOP=1 -d kolrin -f kolrin-class.sql
-- It makes two roles that log in as nobody, to be granted to login roles:
--     kolrin_player   adds games and reads the ranking views, nothing else
--     kolrin_teacher  reads every table and view
-- Running it again changes nothing.

\set ON_ERROR_STOP 1

BEGIN;

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kolrin_player') THEN
        CREATE ROLE kolrin_player NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kolrin_teacher') THEN
        CREATE ROLE kolrin_teacher NOLOGIN;
    END IF;
END
$$;

-- One row per game, named by the id the game made when it ended, so that a
-- game sent twice (after a timeout, a crash, a kill between the send and the
-- client's note of it) is still one game.
CREATE TABLE IF NOT EXISTS games (
    uid             uuid PRIMARY KEY,
    class           text NOT NULL CHECK (char_length(class) BETWEEN 1 AND 64),
    mode            text NOT NULL CHECK (mode IN ('letters', 'kana', 'kanainput')),
    player          text NOT NULL CHECK (char_length(player) <= 64),
    started_at      timestamp NOT NULL,           -- the player's local time
    ended_at        timestamp NOT NULL CHECK (ended_at >= started_at),
    level           integer NOT NULL CHECK (level BETWEEN 1 AND 32767),
    keys            integer NOT NULL CHECK (keys >= 0),
    misses          integer NOT NULL CHECK (misses >= 0),
    played_ms       bigint NOT NULL CHECK (played_ms >= 0),
    other_spellings boolean NOT NULL,
    lesson          boolean NOT NULL DEFAULT false,
    -- Filled by the server: whom it came from and when.
    sent_by         name NOT NULL DEFAULT current_user,
    received_at     timestamptz NOT NULL DEFAULT now()
);

-- The class's best of a mode, highest level first, earlier games first among
-- equals; the ended_at in the index lets a week or a month be picked from it.
CREATE INDEX IF NOT EXISTS games_ranking ON games (class, mode, level DESC, ended_at);
-- A week's or a month's games of the class without touching the older ones.
CREATE INDEX IF NOT EXISTS games_recent ON games (class, mode, ended_at);
-- Each player's best, one short descent of the index per player.
CREATE INDEX IF NOT EXISTS games_player ON games (class, mode, player, level DESC, ended_at);

CREATE TABLE IF NOT EXISTS key_stats (
    game_uid uuid NOT NULL REFERENCES games (uid),
    key      text NOT NULL CHECK (char_length(key) BETWEEN 1 AND 8),
    typed    integer NOT NULL CHECK (typed >= 0),
    missed   integer NOT NULL CHECK (missed >= 0),
    ms       bigint NOT NULL CHECK (ms >= 0),
    first    integer NOT NULL DEFAULT 0 CHECK (first >= 0),
    first_ms bigint NOT NULL DEFAULT 0 CHECK (first_ms >= 0),
    miss_ms  bigint NOT NULL DEFAULT 0 CHECK (miss_ms >= 0),
    PRIMARY KEY (game_uid, key)
);

CREATE TABLE IF NOT EXISTS kana_stats (
    game_uid uuid NOT NULL REFERENCES games (uid),
    kana     text NOT NULL CHECK (char_length(kana) BETWEEN 1 AND 8),
    typed    integer NOT NULL CHECK (typed >= 0),
    missed   integer NOT NULL CHECK (missed >= 0),
    ms       bigint NOT NULL CHECK (ms >= 0),
    first    integer NOT NULL DEFAULT 0 CHECK (first >= 0),
    first_ms bigint NOT NULL DEFAULT 0 CHECK (first_ms >= 0),
    miss_ms  bigint NOT NULL DEFAULT 0 CHECK (miss_ms >= 0),
    PRIMARY KEY (game_uid, kana)
);

-- What a player may read: results, not who sent them from where.
CREATE OR REPLACE VIEW class_results AS
    SELECT class, mode, player, level, ended_at FROM games;

-- Each player's best game of each class and mode, the earliest of equals.
CREATE OR REPLACE VIEW class_players AS
    SELECT DISTINCT ON (class, mode, player) class, mode, player, level, ended_at
    FROM games
    ORDER BY class, mode, player, level DESC, ended_at;

REVOKE ALL ON games, key_stats, kana_stats, class_results, class_players FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO kolrin_player, kolrin_teacher;
-- Only the game's own columns: sent_by and received_at stay the server's.
GRANT INSERT (uid, class, mode, player, started_at, ended_at, level, keys, misses, played_ms,
              other_spellings, lesson) ON games TO kolrin_player;
GRANT INSERT ON key_stats, kana_stats TO kolrin_player;
GRANT SELECT ON class_results, class_players TO kolrin_player;
GRANT SELECT ON games, key_stats, kana_stats, class_results, class_players TO kolrin_teacher;

COMMIT;
