-- PostgreSQL only: substring search over the line history (DSHISTLANC ILIKE '%TEXT%') through a
-- trigram GIN index (pg_trgm ships with PostgreSQL's contrib and is a trusted extension).

CREATE EXTENSION IF NOT EXISTS pg_trgm;

CREATE INDEX LANCCONT_DSHISTLANC_TRGM ON LANCCONT USING GIN (DSHISTLANC gin_trgm_ops);
